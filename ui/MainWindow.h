// The main window: the operator's workspace. It shows what the class session holds and hands the
// operator's clicks and typing to the session's verbs; it keeps no state of the class itself.
#pragma once

#include "session/ClassSession.h"
#include "settings/SessionSettings.h"
#include "ui/MainWindowLayout.h"
#include "ui/ManualWindow.h"

#include <QWidget>

#include <functional>
#include <vector>

class QCheckBox;
class QLineEdit;

namespace lumo::ui {

class MainWindow : public QWidget
{
    Q_OBJECT

public:
    explicit MainWindow(session::ClassSession &session, QWidget *parent = nullptr);

    // Puts the window at the top of the screen, right of the photo frame (given in twips).
    void placeBesideFrame(int frameWidthTwips);

    // True while the operator types in one of the window's text boxes or answers one of Lumo's
    // dialogs: the hot keys then leave the keys to the operator.
    static bool operatorIsTyping();

    // Brings the window to the front (a second start of Lumo asks for it).
    void bringToFront();

signals:
    // The window is closing: the session shuts down.
    void closing();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void connectCommands();
    void bindSettings();
    void bindText(QLineEdit *box, QString settings::SessionSettings::*field,
                  const std::function<void(const QString &)> &change);
    void bindText(QLineEdit *box, QString settings::SessionSettings::*field);
    void bindSwitch(QCheckBox *box, settings::Switch settings::SessionSettings::*field);
    void bindSessionSwitch(QCheckBox *box, bool session::SessionSwitches::*field);

    void showSettings();
    void showSwitches();
    void bindLumoSettings();
    void showLumoSettings();
    void showPane();
    void showCapturedPhoto();
    void toggleSettingsGroup();
    void focusPhoto();

    session::ClassSession &m_session;
    MainWindowControls m_controls;
    ManualWindow m_manual;
    std::vector<std::function<void()>> m_showSettings;
};

} // namespace lumo::ui
