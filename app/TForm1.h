#pragma once
// The main window: the four calculator panels, the mash calculators, help, About and exit.

#include "ReferenceDatabase.h"
#include "Windows.h"
#include "ui_TForm1.h"

#include <QStringList>
#include <QWidget>

struct Outcome;

class TForm1 : public QWidget {
    Q_OBJECT

public:
    // Builds the controls with their built-in texts, then runs FormCreate.
    explicit TForm1(QWidget* parent = nullptr);
    // Runs FormDestroy.
    ~TForm1() override;

    // True when FormCreate asked for the run to end before the window is ever shown.
    bool QuitRequested() const { return quitRequested_; }

    // The names of the life-cycle handlers (FormCreate, FormClose, FormDestroy) in the order
    // they ran in this process; it outlives the windows, so the shutdown order can be read.
    static QStringList& LifecycleTrace();

    // Writes an outcome into the result labels, shrinking a result that would not fit its
    // panel, then shows its warning and raises its error.
    void Present(const Outcome& outcome);

    void FormCreate();
    void FormClose();
    void FormDestroy();

    void Button1Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void Button7Click();

    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void Button2Click();
    void Button6Click();

    void Edit1KeyPress(QChar& key);
    void Edit2KeyPress(QChar& key);
    void Edit3KeyPress(QChar& key);
    void Edit4KeyPress(QChar& key);
    void Edit5KeyPress(QChar& key);
    void Edit6KeyPress(QChar& key);
    void Edit7KeyPress(QChar& key);
    void Edit8KeyPress(QChar& key);
    void Edit9KeyPress(QChar& key);
    void Edit10KeyPress(QChar& key);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    Ui::TForm1 ui;
    // The reference database: the connection, its transaction and the lookup query in one.
    // Built with the controls, before FormCreate; a client library that cannot be loaded
    // fails the window's creation.
    ReferenceDatabase IBDatabase1;
    ResultLabels resultLabels_; // never cut off
    bool quitRequested_ = false;
    bool shownBefore_ = false;
};
