#include "OrvikPicture.h"

#include <QPaintEvent>
#include <QPainter>
#include <atomic>

#include "GifWalker.h"
#include "ResourceBundle.h"

namespace ambrel {

// ---- StopEvent ---------------------------------------------------------------

void StopEvent::Set() {
    {
        std::lock_guard guard(mutex_);
        set_ = true;
    }
    changed_.notify_all();
}

void StopEvent::Reset() {
    std::lock_guard guard(mutex_);
    set_ = false;
}

bool StopEvent::IsSet() const {
    std::lock_guard guard(mutex_);
    return set_;
}

bool StopEvent::WaitFor(std::chrono::milliseconds timeout) const {
    std::unique_lock guard(mutex_);
    return changed_.wait_for(guard, timeout, [this] { return set_; });
}

// ---- Playback ----------------------------------------------------------------

// Everything the animation thread uses. The thread shares ownership, so a
// thread that outlives Stop's bound still runs on valid data; the control
// then takes a fresh Playback and the old one goes with the thread.
struct COrvikPicture::Playback {
    std::mutex lock;  // buffer, saved and target
    QImage buffer;    // the frame buffer, picture size
    QImage saved;     // the area under a frame with disposal 3
    QObject* target = nullptr;

    // Not changed while the thread runs.
    std::vector<Frame> frames;
    QColor background = Qt::white;
    FrameWait wait;

    size_t current = 0;  // the thread's while it runs
    StopEvent stop;
    StopEvent finished;  // set by the thread as it ends
    std::atomic<bool> exit{false};

    void Fill(const QRect& rect) {
        QPainter painter(&buffer);
        painter.fillRect(rect, background);
    }

    // Disposal of `frame` once its time is over.
    void Dispose(const Frame& frame) {
        std::lock_guard guard(lock);
        if (frame.disposal == 2)
            Fill(QRect(frame.left, frame.top, frame.width, frame.height));
        else if (frame.disposal == 3 && !saved.isNull()) {
            QPainter painter(&buffer);
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            painter.drawImage(frame.left, frame.top, saved);
        }
    }

    void Render(const Frame& frame) {
        std::lock_guard guard(lock);
        const QRect area(frame.left, frame.top, frame.width, frame.height);
        if (frame.disposal == 3)
            saved = buffer.copy(area);
        {
            QPainter painter(&buffer);
            painter.drawImage(area.topLeft(), frame.picture);
        }
        if (target) {
            QWidget* widget = static_cast<QWidget*>(target);
            QMetaObject::invokeMethod(
                widget, [widget] { widget->update(); }, Qt::QueuedConnection);
        }
    }
};

// ---- COrvikPicture -----------------------------------------------------------

COrvikPicture::COrvikPicture(QWidget* parent)
    : QWidget(parent), playback_(std::make_shared<Playback>()) {
    playback_->target = this;
    // The frame buffer covers the control; nothing to erase first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

COrvikPicture::~COrvikPicture() {
    Stop();
    std::lock_guard guard(playback_->lock);
    playback_->target = nullptr;
}

std::chrono::milliseconds COrvikPicture::FrameDelay(int delay) {
    return std::chrono::milliseconds(delay > 4 ? delay * 10 : 100);
}

bool COrvikPicture::LoadGifResource(int id) {
    std::optional<QByteArray> data = FindResource(QStringLiteral("ORVIKGIF"), id);
    if (!data)
        return false;
    return LoadPicture(*data);
}

bool COrvikPicture::LoadPicture(const QByteArray& data) {
    return LoadPicture(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(data.constData()),
                                                static_cast<size_t>(data.size())));
}

bool COrvikPicture::LoadPicture(std::span<const uint8_t> data) {
    UnloadPicture();
    bool loaded = false;
    if (!LooksLikeGif(data)) {
        loaded = LoadStill(QByteArray::fromRawData(reinterpret_cast<const char*>(data.data()),
                                                   static_cast<qsizetype>(data.size())));
    } else {
        isGif_ = true;
        loaded = LoadAnimation(data);
    }
    if (loaded) {
        Prepare();
        std::lock_guard guard(playback_->lock);
        loaded = !playback_->buffer.isNull();
    }
    if (!loaded)
        UnloadPicture();
    return loaded;
}

bool COrvikPicture::LoadStill(const QByteArray& data) {
    // fromData copies what it needs; `data` may borrow the caller's bytes.
    single_ = QImage::fromData(data);
    if (single_.isNull())
        return false;
    pictureSize_ = single_.size();
    return true;
}

bool COrvikPicture::LoadAnimation(std::span<const uint8_t> data) {
    std::optional<GifLayout> layout = WalkGif(data);
    if (!layout)
        return false;
    if (layout->imageCount == 1) {
        if (!LoadStill(QByteArray::fromRawData(reinterpret_cast<const char*>(data.data()),
                                               static_cast<qsizetype>(data.size()))))
            return false;
        pictureSize_ = QSize(layout->width, layout->height);
        return !pictureSize_.isEmpty();
    }
    pictureSize_ = QSize(layout->width, layout->height);
    if (pictureSize_.isEmpty())
        return false;

    std::vector<Frame> frames;
    for (const GifFrameData& source : layout->frames) {
        QImage decoded = QImage::fromData(source.gif.data(), static_cast<int>(source.gif.size()));
        if (decoded.isNull())
            continue;
        Frame frame;
        frame.left = source.left;
        frame.top = source.top;
        frame.width = source.width;
        frame.height = source.height;
        frame.delay = source.delay;
        frame.disposal = source.disposal;
        // The decoder gives the whole logical screen with the frame at its
        // place; keep only the frame's own rectangle.
        const QRect area(frame.left, frame.top, frame.width, frame.height);
        QImage own = decoded.size() == area.size() ? decoded : decoded.copy(area);
        frame.picture = own.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        frames.push_back(std::move(frame));
    }
    if (frames.empty())
        return false;
    playback_->frames = std::move(frames);
    return true;
}

void COrvikPicture::Prepare() {
    resize(pictureSize_);
    std::lock_guard guard(playback_->lock);
    playback_->background = palette().color(QPalette::Button);
    playback_->buffer = QImage(pictureSize_, QImage::Format_RGB32);
    if (!playback_->buffer.isNull())
        playback_->buffer.fill(palette().color(QPalette::Window));
}

bool COrvikPicture::Draw() {
    if (!IsLoaded())
        return false;
    if (IsAnimation()) {
        if (thread_.joinable())
            return false;  // already playing
        playback_->wait =
            wait_ ? wait_ : [](std::chrono::milliseconds delay, const StopEvent& stop) {
                return stop.WaitFor(delay);
            };
        playback_->finished.Reset();
        thread_ = std::thread(&COrvikPicture::Animate, playback_);
        return false;
    }
    {
        std::lock_guard guard(playback_->lock);
        QPainter painter(&playback_->buffer);
        painter.drawImage(QRect(QPoint(0, 0), pictureSize_), single_);
    }
    update();
    return true;
}

void COrvikPicture::Animate(std::shared_ptr<Playback> playback) {
    Playback& p = *playback;
    p.Dispose(p.frames[p.current]);
    while (!p.exit) {
        const Frame& frame = p.frames[p.current];
        p.Render(frame);
        const bool stopped = p.wait(FrameDelay(frame.delay), p.stop);
        if (stopped || p.exit)
            break;
        p.Dispose(frame);
        if (++p.current >= p.frames.size()) {
            p.current = 0;
            std::lock_guard guard(p.lock);
            p.Fill(p.buffer.rect());
        }
    }
    p.finished.Set();
}

bool COrvikPicture::Stop() {
    if (!thread_.joinable())
        return true;
    playback_->exit = true;
    playback_->stop.Set();
    const bool ended = playback_->finished.WaitFor(stopBound_);
    if (ended) {
        thread_.join();
    } else {
        // It keeps its Playback alive; cut it off from this control.
        {
            std::lock_guard guard(playback_->lock);
            playback_->target = nullptr;
        }
        thread_.detach();
        ReplacePlayback();
    }
    playback_->stop.Reset();
    playback_->exit = false;
    return ended;
}

void COrvikPicture::ReplacePlayback() {
    auto fresh = std::make_shared<Playback>();
    {
        std::lock_guard guard(playback_->lock);
        fresh->buffer = playback_->buffer.copy();
    }
    fresh->frames = playback_->frames;
    fresh->background = playback_->background;
    fresh->target = this;
    playback_ = std::move(fresh);
}

void COrvikPicture::UnloadPicture() {
    Stop();
    single_ = QImage();
    {
        std::lock_guard guard(playback_->lock);
        playback_->frames.clear();
        playback_->buffer = QImage();
        playback_->saved = QImage();
        playback_->background = Qt::white;
        playback_->current = 0;
    }
    pictureSize_ = QSize();
    paintRect_ = QRect();
    isGif_ = false;
}

void COrvikPicture::SetPaintRect(const QRect& rect) {
    paintRect_ = rect;
    update();
}

bool COrvikPicture::IsLoaded() const {
    std::lock_guard guard(playback_->lock);
    return !playback_->buffer.isNull();
}

bool COrvikPicture::IsAnimation() const {
    return playback_->frames.size() > 1;
}

bool COrvikPicture::IsRunning() const {
    return thread_.joinable() && !playback_->finished.IsSet();
}

QColor COrvikPicture::BackgroundColor() const {
    std::lock_guard guard(playback_->lock);
    return playback_->background;
}

QImage COrvikPicture::FrameBuffer() const {
    std::lock_guard guard(playback_->lock);
    return playback_->buffer.copy();
}

void COrvikPicture::SetFrameWait(FrameWait wait) {
    wait_ = std::move(wait);
}

void COrvikPicture::SetStopBound(std::chrono::milliseconds bound) {
    stopBound_ = bound;
}

void COrvikPicture::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    std::lock_guard guard(playback_->lock);
    const QImage& buffer = playback_->buffer;
    if (buffer.isNull()) {
        painter.fillRect(event->rect(), palette().color(QPalette::Window));
        return;
    }
    if (!paintRect_.isEmpty())
        painter.drawImage(paintRect_.topLeft(), buffer, paintRect_);
    else
        painter.drawImage(0, 0, buffer);
}

}  // namespace ambrel
