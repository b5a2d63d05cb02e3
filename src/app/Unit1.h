#pragma once
// The main window: caption and menu; all work happens in the modal screens
// its menu opens.

#include <QMainWindow>
#include <QMap>

class QAction;
class QMenu;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // Splash, data module, connection and the six tables. Returns false when
    // the program has to end (no database, and the user confirmed).
    bool formCreate(bool splash = true);
    // Decimal comma, "." dates, and the caption with the version.
    void formShow();
    // The first start on a register without the user's own buyer: the setup, then the selection.
    void firstStart();
    // End of work with the database.
    void formClose();

    // Switches the six work menus (the buyer selection turns them on).
    void setWorkMenusEnabled(bool on);
    bool workMenusEnabled() const;

    // Service use ("--szerviz" on the command line): the entries the menu
    // keeps hidden (imports from the previous edition and from a spreadsheet,
    // schema upgrades, the contract, the inventory hand-over) are shown and
    // usable, still only after the buyer selection like the rest of their menu.
    void showServiceEntries();

    // What the start-up found (a new register made, a register copied over),
    // told once when the window shows and before the first-start setup.
    void addStartupNotice(const QString& text);

    QAction* action(const QString& objectName) const;
    QMenu* menu(const QString& objectName) const;

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    // A register of an older version made fit for several computers; the
    // duplicates that stop it are shown.
    void bringUpToDate();
    void showBackgroundHint(bool buyerChosen);
    // Before the register is opened: offers a restore when there is none but
    // backups are found, and cleans up after an interrupted backup.
    void prepareLocalRegister(const QString& file);
    QString startupNotice_; // told once, when the window shows
    void buildMenu();
    QAction* entry(QMenu* m, const QString& name, const QString& caption, int formNo,
                   bool hidden = false, bool enabled = true);
    void open(int formNo);

    QList<QAction*> hidden_;   // entries the menu keeps out of sight
    QList<QObject*> switched_; // the six top-level entries the buyer selection enables
    bool shown_ = false;
    bool closed_ = false;
};

extern TForm1* Form1;
