#pragma once
// The dialog "Tipps und Tricks": a picture, the heading "Wussten Sie
// schon..." and the tip on a white area, the check box "&Tipps beim Starten
// anzeigen", and the buttons "&Nächster Tipp" and "&Schließen". What it
// shows comes from a TipOfTheDay, which writes the file position when the
// dialog goes.
#include <QDialog>

#include <memory>
#include <string>

class QCheckBox;
class QLabel;
class QPushButton;

namespace tarnwick::settings {
class ProfileStore;
}

namespace tarnwick::ui {

class TipOfTheDay;

class TipsDialog : public QDialog {
    Q_OBJECT

public:
    // `store` must outlive the dialog.
    TipsDialog(settings::ProfileStore& store, const std::string& tipsPath, QWidget* parent = nullptr);
    ~TipsDialog() override;

    const TipOfTheDay& tips() const { return *m_tips; }
    QLabel* tipLabel() const { return m_tip; }
    QCheckBox* startUpBox() const { return m_startUp; }
    QPushButton* nextButton() const { return m_next; }
    QPushButton* closeButton() const { return m_close; }

private:
    void showTip();
    void nextTip();
    void closeTips();

    std::unique_ptr<TipOfTheDay> m_tips;
    QLabel* m_tip = nullptr;
    QCheckBox* m_startUp = nullptr;
    QPushButton* m_next = nullptr;
    QPushButton* m_close = nullptr;
};

// Where the tips file is looked for: beside the program, then in the
// installed share directory; beside the program when it is in neither.
std::string TipsFilePath(const std::string& programDirectory);

// "&Tipps und Tricks": the dialog, modal.
void ShowTips(QWidget* parent, settings::ProfileStore& store, const std::string& programDirectory);
// At start-up: the dialog, modal, unless the user switched the tips off.
void ShowTipsAtStartUp(QWidget* parent, settings::ProfileStore& store, const std::string& programDirectory);

}  // namespace tarnwick::ui
