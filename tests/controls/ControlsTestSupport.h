#pragma once

// Shared by the Qt tests of the window layer and the skinned controls: the
// built bundle, a recorder of opened URLs, a window that records the
// messages it receives, and pixel helpers.

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QWidget>
#include <cstdlib>
#include <functional>
#include <vector>

#include "ResourceBundle.h"
#include "Shell.h"
#include "WindowMessage.h"

namespace ambrel::test {

inline QString BundlePath(int language = 1033) {
    return QStringLiteral(AMBREL_BUNDLE_DIR "/%1.rcc").arg(language);
}

inline bool LoadTestBundle(int language = 1033) {
    return LoadResourceBundle(BundlePath(language), static_cast<uint16_t>(language));
}

// Records every URL the program asks to open, instead of opening it.
class UrlRecorder {
public:
    UrlRecorder() {
        SetUrlOpener([this](const QUrl& url) {
            opened << url.toString(QUrl::FullyEncoded);
            return true;
        });
    }
    ~UrlRecorder() { SetUrlOpener(nullptr); }
    UrlRecorder(const UrlRecorder&) = delete;
    UrlRecorder& operator=(const UrlRecorder&) = delete;

    QStringList opened;
};

struct ReceivedMessage {
    uint32_t message;
    WParam wParam;
    LParam lParam;
    NotifyHeader header;  // copied for kWmNotify
};

// A plain window that records the window messages sent to it.
class MessageRecorder : public QWidget {
public:
    explicit MessageRecorder(QWidget* parent = nullptr) : QWidget(parent) {}

    std::vector<ReceivedMessage> received;

protected:
    bool event(QEvent* event) override {
        if (event->type() == WindowMessageEvent::EventType()) {
            auto* message = static_cast<WindowMessageEvent*>(event);
            ReceivedMessage copy{message->message(), message->wParam(), message->lParam(), {}};
            if (copy.message == kWmNotify && copy.lParam != 0)
                copy.header = *reinterpret_cast<const NotifyHeader*>(copy.lParam);
            received.push_back(copy);
            return true;
        }
        return QWidget::event(event);
    }
};

// Whether two colours are the same within `tolerance` per channel.
inline bool Near(QColor a, QColor b, int tolerance = 40) {
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

// The smallest rectangle holding every pixel of `image` near `colour`
// (empty when there is none).
inline QRect InkBox(const QImage& image, QColor colour, int tolerance = 40) {
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (Near(image.pixelColor(x, y), colour, tolerance))
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

// A picture of one colour.
inline QImage Solid(QSize size, QColor colour) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    return image;
}

}  // namespace ambrel::test
