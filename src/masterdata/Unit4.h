#pragma once
// The producer list: browsing, search, sort, new/change/delete, print; also
// the producer picker of other screens (they read ZQ30's current row after it).

#include <QDialog>
#include <QMap>

class DBGrid;
class DBNavigator;
class QLabel;
class QLineEdit;
class QPushButton;
class TQuery;

class TForm4 : public QDialog {
    Q_OBJECT
public:
    explicit TForm4(QWidget* parent = nullptr);

    static const char* const StatusInitial;
    static const char* const StatusAfterSave;
    static const char* const NyomtatottUzenet;

    // The list statement on the query, ordered by the given text ("o_Nev" or a
    // column number).
    static void runListQuery(TQuery* q, const QString& orderBy = "o_Nev");

    void frissit();                // re-run the list and position on the remembered code
    void keres();                  // search by the name prefix of the "Név:" field
    void sortByCursorColumn();     // column title clicked
    void ujClick();
    void modositClick(bool skipLock = false);
    void torolClick();
    void nyomtatClick();

    DBGrid* grid() const { return grid_; }
    QLabel* status() const { return status_; }
    QLineEdit* nevKereso() const { return search_; }
    QPushButton* button(const QString& objectName) const;
    QString panelText(const QString& column) const;

    // Either letter, pressed while "Módosít" has the focus, opens the current
    // producer for change without the printed-ticket lock (service use).
    static constexpr int ServiceKey1 = Qt::Key_X;
    static constexpr int ServiceKey2 = Qt::Key_Y;

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    qint64 printedTickets(TQuery* q) const;
    void updatePanel();
    void openEntry(bool modify);

    QLabel* status_;
    QLineEdit* search_;
    DBGrid* grid_;
    DBNavigator* nav_;
    QMap<QString, QLineEdit*> panel_;
    QPushButton* modosit_;
    bool shownOnce_ = false;
};
