#pragma once

// A static picture control that shows a still picture or plays an animated
// GIF on a thread of its own until it is stopped: the busy animation of the
// long operations (GIF resource 212 of type "ORVIKGIF").
//
// The GIF is split into frames by our own walker (GifWalker.h); each frame,
// rebuilt as a standalone GIF, is decoded by QImage::fromData. The animation
// thread renders into the frame buffer under a small lock and asks the
// widget to repaint through a queued call; it never touches the widget.
//
// Loading, drawing, stopping and unloading: user-interface thread only.

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

namespace ambrel {

// Manual-reset event: stays set until Reset.
class StopEvent {
public:
    void Set();
    void Reset();
    bool IsSet() const;
    // Waits until the event is set or `timeout` has passed; true when set.
    bool WaitFor(std::chrono::milliseconds timeout) const;

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    bool set_ = false;
};

class COrvikPicture : public QWidget {
public:
    // How the animation thread waits between two frames: on `stop` for
    // `delay`; true when it was woken by the stop event. The default waits
    // for real; tests observe the delays through their own.
    using FrameWait = std::function<bool(std::chrono::milliseconds delay, const StopEvent& stop)>;

    static constexpr std::chrono::milliseconds kStopBound{5000};

    struct Frame {
        QImage picture;  // the frame's own rectangle, ready to draw
        int left = 0;
        int top = 0;
        int width = 0;
        int height = 0;
        int delay = 0;     // hundredths of a second
        int disposal = 0;  // 0 to 7
    };

    explicit COrvikPicture(QWidget* parent = nullptr);
    ~COrvikPicture() override;

    COrvikPicture(const COrvikPicture&) = delete;
    COrvikPicture& operator=(const COrvikPicture&) = delete;

    // Resource `id` of type "ORVIKGIF" of the current resource source.
    bool LoadGifResource(int id);
    // Unloads, then loads a GIF (still or animated) or any other picture
    // QImage reads as a still picture; resizes the control to the picture
    // without moving it and prepares the frame buffer. False (and nothing
    // loaded) for undecodable data and for a GIF with no image or with a
    // block that runs past the end of the data.
    bool LoadPicture(std::span<const uint8_t> data);
    bool LoadPicture(const QByteArray& data);

    // Starts the animation thread for an animation, or renders the still
    // picture into the frame buffer. True only for a rendered still picture.
    bool Draw();
    // Ends the animation: the thread leaves its wait at once and is given
    // kStopBound to end. False when it did not end in time (it is then left
    // to finish on its own data and never touches this control again).
    bool Stop();
    // Stops and releases everything that was loaded.
    void UnloadPicture();

    // Empty: the whole picture is shown; otherwise only this part of it.
    void SetPaintRect(const QRect& rect);
    QRect PaintRect() const { return paintRect_; }

    QSize PictureSize() const { return pictureSize_; }
    bool IsGif() const { return isGif_; }
    bool IsLoaded() const;
    bool IsAnimation() const;
    bool IsRunning() const;
    QColor BackgroundColor() const;
    // A copy of the frame buffer (null before a picture is loaded).
    QImage FrameBuffer() const;

    // Seams for tests: the frame wait and the time Stop gives the thread.
    void SetFrameWait(FrameWait wait);
    void SetStopBound(std::chrono::milliseconds bound);

    // The wait of a frame with `delay` hundredths of a second.
    static std::chrono::milliseconds FrameDelay(int delay);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Playback;

    bool LoadStill(const QByteArray& data);
    bool LoadAnimation(std::span<const uint8_t> data);
    void Prepare();
    void ReplacePlayback();
    static void Animate(std::shared_ptr<Playback> playback);

    std::shared_ptr<Playback> playback_;
    std::thread thread_;
    QImage single_;  // a still picture
    QSize pictureSize_;
    QRect paintRect_;
    bool isGif_ = false;
    FrameWait wait_;
    std::chrono::milliseconds stopBound_ = kStopBound;
};

}  // namespace ambrel
