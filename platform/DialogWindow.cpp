#include "DialogWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QFrame>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QRegion>
#include <QScrollBar>
#include <QTimer>
#include <QWindow>
#include <algorithm>

#include "ResourceBundle.h"
#include "SingleInstance.h"

namespace ambrel {
namespace {

std::function<void(DialogWindow&)>& ModalHook() {
    static std::function<void(DialogWindow&)> hook;
    return hook;
}

Qt::Alignment LabelAlignment(const bundle::ControlTemplate& entry) {
    if (entry.HasStyle("center"))
        return Qt::AlignHCenter | Qt::AlignTop;
    if (entry.HasStyle("right"))
        return Qt::AlignRight | Qt::AlignTop;
    return Qt::AlignLeft | Qt::AlignTop;
}

}  // namespace

DialogWindow::DialogWindow(int templateId, QWidget* parent, Kind kind)
    : QWidget(parent), templateId_(templateId) {
    if (kind == Kind::TopLevel)
        setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_OpaquePaintEvent);
    if (const bundle::DialogTemplate* dialog = FindDialog(templateId)) {
        hasTemplate_ = true;
        resize(dialog->width, dialog->height);
        BuildControls(*dialog);
    }
}

DialogWindow::~DialogWindow() {
    if (modalLoop_ != nullptr)
        modalLoop_->exit(kIdCancel);
}

// ---- Controls ------------------------------------------------------------------

void DialogWindow::BuildControls(const bundle::DialogTemplate& dialog) {
    QButtonGroup* radioGroup = nullptr;
    for (const bundle::ControlTemplate& entry : dialog.controls) {
        templateControls_[entry.id] = entry;
        QWidget* control = CreateControl(entry, radioGroup);
        control->setGeometry(entry.x, entry.y, entry.width, entry.height);
        if (entry.HasStyle("bold")) {
            QFont font = control->font();
            font.setBold(true);
            control->setFont(font);
        }
        control->setEnabled(!entry.HasStyle("disabled"));
        control->setVisible(!entry.HasStyle("hidden"));
        RegisterControl(entry.id, control);
    }
}

QWidget* DialogWindow::CreateControl(const bundle::ControlTemplate& entry,
                                     QButtonGroup*& radioGroup) {
    const QString text = TemplateText(entry.id);
    const std::string& kind = entry.kind;
    if (kind == "static" || kind == "picture") {
        auto* label = new QLabel(text, this);
        label->setAlignment(LabelAlignment(entry));
        label->setWordWrap(!entry.HasStyle("nowrap"));
        return label;
    }
    if (kind == "button")
        return new QPushButton(text, this);
    if (kind == "edit") {
        auto* edit = new QLineEdit(this);
        if (entry.HasStyle("password"))
            edit->setEchoMode(QLineEdit::Password);
        edit->setReadOnly(entry.HasStyle("readonly"));
        if (entry.HasStyle("number"))
            edit->setValidator(new QIntValidator(0, 999999999, edit));
        return edit;
    }
    if (kind == "check")
        return new QCheckBox(text, this);
    if (kind == "radio") {
        // Radio buttons are exclusive within their group: a "group" style
        // starts a new one, the following radio buttons join it.
        auto* radio = new QRadioButton(text, this);
        if (entry.HasStyle("group") || radioGroup == nullptr)
            radioGroup = new QButtonGroup(this);
        radioGroup->addButton(radio, entry.id);
        return radio;
    }
    if (kind == "combo")
        return new QComboBox(this);
    if (kind == "scrollbar") {
        return new QScrollBar(entry.height >= entry.width ? Qt::Vertical : Qt::Horizontal, this);
    }
    if (kind == "frame") {
        auto* frame = new QFrame(this);
        frame->setFrameStyle(QFrame::Box | QFrame::Plain);
        return frame;
    }
    return new QWidget(this);  // "page": the place of a child dialog
}

QWidget* DialogWindow::FindControl(int id) const {
    auto found = controls_.find(id);
    return found == controls_.end() ? nullptr : found->second;
}

void DialogWindow::RegisterControl(int id, QWidget* control) {
    QWidget* previous = FindControl(id);
    if (previous == control)
        return;
    controls_[id] = control;
    SetControlId(control, id);
    WireCommands(id, control);
    delete previous;
}

void DialogWindow::AdoptInPlace(int id, QWidget* control) {
    if (QWidget* previous = FindControl(id)) {
        control->setGeometry(previous->geometry());
        control->setFont(previous->font());
        control->setEnabled(previous->isEnabled());
        control->setVisible(!previous->isHidden());
        control->stackUnder(previous);
    } else {
        control->setGeometry(0, 0, 0, 0);
    }
    RegisterControl(id, control);
}

void DialogWindow::WireCommands(int id, QWidget* control) {
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        connect(button, &QAbstractButton::clicked, this,
                [this, id]() { SendWindowMessage(this, kWmCommand, static_cast<WParam>(id)); });
    }
}

const bundle::ControlTemplate* DialogWindow::TemplateControl(int id) const {
    auto found = templateControls_.find(id);
    return found == templateControls_.end() ? nullptr : &found->second;
}

QString DialogWindow::TemplateText(int id) const {
    const bundle::ControlTemplate* entry = TemplateControl(id);
    if (entry == nullptr || entry->textId == 0)
        return {};
    return FindString(entry->textId).value_or(QString());
}

// ---- Life and modal runs --------------------------------------------------------

void DialogWindow::Initialise() {
    if (initialised_)
        return;
    initialised_ = true;
    OnInitDialog();
}

int DialogWindow::RunModal() {
    if (!hasTemplate_ || modalLoop_ != nullptr)
        return kRunFailed;
    Initialise();
    result_ = kIdCancel;
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();

    QPointer<DialogWindow> self(this);
    QEventLoop loop;
    modalLoop_ = &loop;
    if (ModalHook()) {
        QTimer::singleShot(0, this, [this]() {
            if (ModalHook() && modalLoop_ != nullptr)
                ModalHook()(*this);
        });
    }
    int exitCode = loop.exec(QEventLoop::DialogExec);
    if (self.isNull())
        return exitCode;  // destroyed while it ran: the loop was left with kIdCancel
    modalLoop_ = nullptr;
    hide();
    setWindowModality(Qt::NonModal);
    return result_;
}

void DialogWindow::EndDialog(int result) {
    result_ = result;
    if (modalLoop_ != nullptr)
        modalLoop_->exit(result);
    else
        hide();
}

void DialogWindow::SetModalHook(std::function<void(DialogWindow&)> hook) {
    ModalHook() = std::move(hook);
}

void DialogWindow::showEvent(QShowEvent* event) {
    Initialise();
    QWidget::showEvent(event);
}

void DialogWindow::closeEvent(QCloseEvent* event) {
    // Closing from outside (the window manager) is a cancel; the dialog
    // decides itself whether it ends.
    event->ignore();
    OnCancel();
}

// ---- Messages and timers ----------------------------------------------------------

bool DialogWindow::event(QEvent* event) {
    if (event->type() == WindowMessageEvent::EventType()) {
        auto* message = static_cast<WindowMessageEvent*>(event);
        message->result = OnMessage(message->message(), message->wParam(), message->lParam());
        return true;
    }
    return QWidget::event(event);
}

LResult DialogWindow::OnMessage(uint32_t message, WParam wParam, LParam lParam) {
    if (message == kWmCommand) {
        OnCommand(static_cast<int>(wParam & 0xFFFF));
    } else if (message == kWmNotify && lParam != 0) {
        OnNotify(*reinterpret_cast<const NotifyHeader*>(lParam));
    }
    return 0;
}

void DialogWindow::SetTimer(int id, int milliseconds) {
    timers_.Set(this, id, milliseconds);
}

bool DialogWindow::KillTimer(int id) {
    return timers_.Kill(id);
}

bool DialogWindow::IsTimerRunning(int id) const {
    return timers_.IsRunning(id);
}

void DialogWindow::timerEvent(QTimerEvent* event) {
    if (std::optional<int> id = timers_.IdOf(event->timerId())) {
        OnTimer(*id);
        return;
    }
    QWidget::timerEvent(event);
}

// ---- Background and region ------------------------------------------------------------

void DialogWindow::PaintBackground(QPainter& painter) {
    painter.fillRect(rect(), palette().window());
}

void DialogWindow::InvalidateBackground() {
    background_ = QImage();
    update();
}

void DialogWindow::ComposeBackground() {
    background_ = QImage(size(), QImage::Format_ARGB32_Premultiplied);
    background_.fill(Qt::transparent);
    {
        QPainter painter(&background_);
        PaintBackground(painter);
    }
    // The controls that blend over the background take their part of it now.
    for (QObject* child : children()) {
        if (auto* client = dynamic_cast<BackgroundClient*>(child))
            client->CaptureParentBackground(background_);
    }
}

void DialogWindow::paintEvent(QPaintEvent* event) {
    if (background_.isNull() || background_.size() != size())
        ComposeBackground();
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (const QRect& area : event->region())
        painter.drawImage(area, background_, area);
}

void DialogWindow::SetRoundedRegion(const QRect& rect, int ellipseWidth, int ellipseHeight) {
    QPainterPath path;
    path.addRoundedRect(QRectF(rect), ellipseWidth / 2.0, ellipseHeight / 2.0);
    setMask(QRegion(path.toFillPolygon().toPolygon()));
}

// ---- Dragging ----------------------------------------------------------------------------

void DialogWindow::SetDragAreas(std::vector<QRect> areas) {
    dragAreas_ = std::move(areas);
}

void DialogWindow::mousePressEvent(QMouseEvent* event) {
    QPoint point = event->position().toPoint();
    bool inArea = std::any_of(dragAreas_.begin(), dragAreas_.end(),
                              [point](const QRect& area) { return area.contains(point); });
    if (event->button() == Qt::LeftButton && inArea) {
        dragArmed_ = true;
        dragPressGlobal_ = event->globalPosition().toPoint();
        dragWindowOrigin_ = window()->pos();
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void DialogWindow::mouseMoveEvent(QMouseEvent* event) {
    if (!dragArmed_ || event->buttons() != Qt::LeftButton || event->modifiers() != Qt::NoModifier) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    // The system moves the window where it can; elsewhere (no window
    // manager, offscreen tests) the window follows the pointer itself.
    QWindow* handle = window()->windowHandle();
    if (handle != nullptr && handle->startSystemMove()) {
        dragArmed_ = false;
        return;
    }
    window()->move(dragWindowOrigin_ + event->globalPosition().toPoint() - dragPressGlobal_);
}

void DialogWindow::mouseReleaseEvent(QMouseEvent* event) {
    dragArmed_ = false;
    QWidget::mouseReleaseEvent(event);
}

// ---- Keys ------------------------------------------------------------------------------------

void DialogWindow::SwallowKeys(std::set<int> keys) {
    swallowedKeys_ = std::move(keys);
}

bool DialogWindow::IsKeySwallowed(int key) const {
    for (const QWidget* widget = this; widget != nullptr; widget = widget->parentWidget()) {
        if (auto* dialog = qobject_cast<const DialogWindow*>(widget)) {
            if (dialog->swallowedKeys_.count(key) != 0)
                return true;
        }
        if (widget->isWindow())
            break;
    }
    return false;
}

void DialogWindow::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (IsKeySwallowed(key)) {
        event->accept();
        return;
    }
    if (isWindow() && event->modifiers() == Qt::NoModifier) {
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            OnOK();
            return;
        }
        if (key == Qt::Key_Escape) {
            OnCancel();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

// ---- Activation ----------------------------------------------------------------------------

void DialogWindow::BringToFront() {
    QWidget* top = window();
    if (top->isMinimized())
        top->setWindowState(top->windowState() & ~Qt::WindowMinimized);
    if (top->isHidden())
        top->show();
    top->raise();
    top->activateWindow();
    QWidget* popup = QApplication::activeModalWidget();
    if (popup != nullptr && popup != top && popup->isVisible()) {
        popup->raise();
        popup->activateWindow();
    }
}

void DialogWindow::AcceptActivationRequests(SingleInstanceGuard& guard) {
    connect(&guard, &SingleInstanceGuard::activationRequested, this, &DialogWindow::BringToFront);
}

}  // namespace ambrel
