#pragma once
// The ticket list: the current buyer's tickets with their producers; sort,
// search, lines and producer of a ticket, and every ticket operation.

#include <QDialog>
#include <QMap>

class DBGrid;
class DBNavigator;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

class TForm8 : public QDialog {
    Q_OBJECT
public:
    explicit TForm8(QWidget* parent = nullptr);

    // The list in ticket number order, positioned on the current ticket number.
    void frissit(const QString& label);
    // Sort by a column title of the "Fejsor" grid; other titles do nothing.
    void sortByColumn(int column);
    // Search: positions on the first ticket whose number begins with the text of
    // "Bizonylat:". A keystroke re-reads the list only when another order shows.
    void keres(bool requery = true);
    // The lines and the producer of the ticket current now, for the two tabs.
    void tabChanged(int index);

    void ujClick();
    void modositClick(bool skipChecks = false);
    void megtekintClick();
    void nyomtatClick();
    void ervenytelenitClick();

    // The letter that, pressed while "Módosít" has the focus, opens the current
    // ticket for modification without the print and type checks (service use).
    static constexpr int ServiceKey = Qt::Key_X;

    DBGrid* grid() const { return grid_; }
    DBGrid* linesGrid() const { return lines_; }
    QLabel* orderLabel() const { return order_; }
    QLineEdit* kereso() const { return search_; }
    QTabWidget* tabs() const { return tabs_; }
    QPushButton* button(const QString& objectName) const;
    QString panelText(const QString& column) const;    // header panel
    QString producerText(const QString& column) const; // "Östermelő" tab

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void updatePanel();
    void print(bool printMode);
    bool hasCurrent() const;

    QLabel* order_;
    QLineEdit* search_;
    QTabWidget* tabs_;
    DBGrid* grid_;
    DBGrid* lines_;
    DBNavigator* nav_;
    DBNavigator* linesNav_;
    QMap<QString, QLineEdit*> panel_;
    QMap<QString, QLineEdit*> producer_;
    QPushButton* modosit_;
    QString orderBy_ = "f_Bszam";
    bool shownOnce_ = false;
};
