#pragma once

// The windows of both programs: dialogs built from a template of the
// resource source (docs/bundle-format.md), either top-level (frameless, run
// modally or shown) or as a child dialog inside another window (a page, a
// list row).
//
// A dialog
// - creates the template's controls and finds each by its numeric id
//   (Control<T>(id)); a window that wants a control of its own class in a
//   template's place takes it with Attach<T>(id);
// - runs modally with a result code (RunModal, EndDialog);
// - receives window messages (WindowMessage.h) in OnMessage, the clicks of
//   its buttons as commands (OnCommand) and the notifications of its
//   controls (OnNotify);
// - keeps timers by numeric id (SetTimer, KillTimer, OnTimer);
// - paints its background once into a memory picture (PaintBackground) and
//   afterwards only copies it; the controls that blend over that background
//   (BackgroundClient) receive it when it has been painted;
// - can have a rounded window region, be dragged by areas of its
//   background, swallow keys, and be brought to the front when another
//   start of the program asks for it.
//
// User-interface thread only, except SendWindowMessage and PostWindowMessage.

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QWidget>
#include <functional>
#include <map>
#include <set>
#include <vector>

#include "BundleFormat.h"
#include "WindowMessage.h"
#include "WindowTimers.h"

class QButtonGroup;
class QEventLoop;

namespace ambrel {

class SingleInstanceGuard;

// Result codes of a modal run.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kRunFailed = -1;  // no template, or the dialog already runs

// A control that draws itself over the part of its window's background that
// lies under it.
class BackgroundClient {
public:
    virtual ~BackgroundClient() = default;
    // `parentSurface` is the window's whole background picture.
    virtual void CaptureParentBackground(const QImage& parentSurface) = 0;
};

class DialogWindow : public QWidget {
    Q_OBJECT
public:
    enum class Kind {
        TopLevel,  // a frameless window of its own (owned by `parent` when given)
        Child,     // a child window inside `parent`
    };

    // Builds the dialog and its controls from template `templateId`. Without
    // that template the dialog is empty and RunModal fails.
    DialogWindow(int templateId, QWidget* parent = nullptr, Kind kind = Kind::TopLevel);
    ~DialogWindow() override;

    int TemplateId() const { return templateId_; }
    bool HasTemplate() const { return hasTemplate_; }

    // ---- Controls by id ----------------------------------------------------
    QWidget* FindControl(int id) const;
    // The control of that id if it is a T, else null.
    template <class T>
    T* Control(int id) const {
        return dynamic_cast<T*>(FindControl(id));
    }
    // Makes `control` (a child of this dialog) the control of that id,
    // replacing and deleting the one that had it.
    void RegisterControl(int id, QWidget* control);
    // Puts a T in the place of the template's control `id`, with its
    // rectangle, text, font, visibility and enabled state. A T that has
    // OnAttached(const bundle::ControlTemplate&) gets the template too.
    // Without a template entry of that id, the T is created at (0, 0, 0, 0).
    template <class T>
    T* Attach(int id) {
        T* control = new T(this);
        const bundle::ControlTemplate* entry = TemplateControl(id);
        AdoptInPlace(id, control);
        if constexpr (requires(T * t, const QString& s) { t->setText(s); }) {
            control->setText(TemplateText(id));
        }
        if constexpr (requires(T * t, const bundle::ControlTemplate& e) { t->OnAttached(e); }) {
            if (entry != nullptr)
                control->OnAttached(*entry);
        }
        return control;
    }
    // The template's entry for control `id` and its text (empty for none).
    const bundle::ControlTemplate* TemplateControl(int id) const;
    QString TemplateText(int id) const;

    // ---- Life and modal runs -----------------------------------------------
    // Runs OnInitDialog once; RunModal and the first show do it too.
    void Initialise();
    bool IsInitialised() const { return initialised_; }
    // Shows the dialog modally and returns the code given to EndDialog
    // (kRunFailed without a template or when it already runs).
    int RunModal();
    bool IsRunningModal() const { return modalLoop_ != nullptr; }
    // Ends the modal run with `result`; a dialog that runs no modal loop is
    // hidden.
    void EndDialog(int result);

    // Called with every dialog whose modal loop has just started (tests
    // answer dialogs through it). Null removes it.
    static void SetModalHook(std::function<void(DialogWindow&)> hook);

    // ---- Timers by id ----------------------------------------------------------
    void SetTimer(int id, int milliseconds);
    bool KillTimer(int id);
    bool IsTimerRunning(int id) const;

    // ---- Background, region, dragging, keys, activation --------------------
    // The composed background (null before the first paint).
    const QImage& Background() const { return background_; }
    // The next paint composes the background again.
    void InvalidateBackground();

    // A window region: `rect` with rounded corners (corner ellipse w x h).
    void SetRoundedRegion(const QRect& rect, int ellipseWidth, int ellipseHeight);

    // Areas (in this dialog's coordinates) by which the window is dragged.
    void SetDragAreas(std::vector<QRect> areas);

    // Keys that never reach this dialog, its child dialogs or their controls'
    // default handling (Enter, Escape, F1 in the main window).
    void SwallowKeys(std::set<int> keys);

    // Restores, shows, raises and activates the window, then its last
    // active pop-up (the modal dialog open over it, if any).
    void BringToFront();
    // Another start of the program asking to come forward calls BringToFront.
    void AcceptActivationRequests(SingleInstanceGuard& guard);

protected:
    virtual void OnInitDialog() {}
    // Enter and Escape in a top-level dialog (unless swallowed).
    virtual void OnOK() { EndDialog(kIdOk); }
    virtual void OnCancel() { EndDialog(kIdCancel); }
    // A click of button, check box or radio button `id` of this dialog.
    virtual void OnCommand(int id) { Q_UNUSED(id); }
    virtual void OnNotify(const NotifyHeader& header) { Q_UNUSED(header); }
    virtual void OnTimer(int id) { Q_UNUSED(id); }
    // Every window message; the default passes commands to OnCommand and
    // notifications to OnNotify and answers 0.
    virtual LResult OnMessage(uint32_t message, WParam wParam, LParam lParam);
    // Draws the background into the memory picture (once). The default
    // fills it with the palette's window colour.
    virtual void PaintBackground(QPainter& painter);

    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildControls(const bundle::DialogTemplate& dialog);
    QWidget* CreateControl(const bundle::ControlTemplate& entry, QButtonGroup*& radioGroup);
    void AdoptInPlace(int id, QWidget* control);
    void WireCommands(int id, QWidget* control);
    bool IsKeySwallowed(int key) const;
    void ComposeBackground();

    int templateId_;
    bool hasTemplate_ = false;
    std::map<int, bundle::ControlTemplate> templateControls_;
    std::map<int, QWidget*> controls_;
    bool initialised_ = false;
    QEventLoop* modalLoop_ = nullptr;
    int result_ = kIdCancel;
    WindowTimers timers_;
    QImage background_;
    std::vector<QRect> dragAreas_;
    bool dragArmed_ = false;
    QPoint dragPressGlobal_;
    QPoint dragWindowOrigin_;
    std::set<int> swallowedKeys_;
};

}  // namespace ambrel
