#pragma once
// The product list: browsing, sort, new/change/delete, print; also the product
// picker of the ticket line entry (which reads ZQ40's current row after it).

#include <QDialog>
#include <QMap>

class DBGrid;
class DBNavigator;
class QLabel;
class QLineEdit;
class QPushButton;
class TQuery;

class TForm6 : public QDialog {
    Q_OBJECT
public:
    explicit TForm6(QWidget* parent = nullptr);

    static const char* const StatusMegnevezes; // "Termék lista, "Megnevezés" szerint"

    static void runListQuery(TQuery* q);

    void sortByTitle(int column); // a column title clicked
    void ujClick();
    void modositClick();
    void torolClick();
    void nyomtatClick();

    DBGrid* grid() const { return grid_; }
    QLabel* status() const { return status_; }
    QPushButton* button(const QString& objectName) const;
    QString panelText(const QString& column) const;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void updatePanel();
    void openEntry(bool modify);

    QLabel* status_;
    DBGrid* grid_;
    DBNavigator* nav_;
    QMap<QString, QLineEdit*> panel_;
    bool shownOnce_ = false;
};
