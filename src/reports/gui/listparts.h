#pragma once
// Pieces the list screens share: the yyyy.mm.dd date pickers, named buttons
// and notes, the "Dátum ?" choice and the grid with its navigator.

#include <QString>
#include <functional>

class DBGrid;
class DBNavigator;
class QBoxLayout;
class QCheckBox;
class QHBoxLayout;
class TQuery;
class QDateEdit;
class QDialog;
class QDate;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QWidget;

namespace listparts {

QDateEdit* datePicker(const QDate& date, const char* name, QWidget* parent);

// The period of this year: "<label>" from 1 January "-tól" to 31 December
// "-ig", as a row for the screen's layout; the end is named for readers.
struct Period {
    QHBoxLayout* row;
    QDateEdit* from;
    QDateEdit* to;
};
Period period(const QString& label, const QString& endName, QWidget* parent);
QLabel* note(const QString& text, const char* name, QWidget* parent);

// The "Dátum ?" group: "Fizetési dátum" (checked) and "Felvásárlási dátum".
struct DateKind {
    QGroupBox* box;
    QRadioButton* fizetesi;
    QRadioButton* felvasarlasi;
};
DateKind dateKind(QWidget* parent);

// A grid with the record navigator under it, added to the layout.
DBGrid* gridWithNavigator(QBoxLayout* into, const QString& accessibleName, QWidget* parent,
                          DBNavigator** navigator = nullptr);

// "Kigyüjtés", "Nyomtatás" (off until a collection) and "Mégsem" at the right
// of a row added to the layout; the first two run under the general error
// handler, "Mégsem" closes the screen.
struct ActionRow {
    QPushButton* collect;
    QPushButton* print;
};
ActionRow actionRow(QDialog* screen, QBoxLayout* into, std::function<void()> collect,
                    std::function<void()> print, const char* cancelName = "Button3");

// The end of a totals screen with a "by product" box over q: the action row
// (ticking the box asks for a new collection before printing), the grid and
// its navigator bound to q, Enter between fields, size and first focus.
ActionRow totalsScreenEnd(QDialog* screen, QBoxLayout* into, DBGrid* grid, QCheckBox* byProduct,
                          TQuery* q, std::function<void()> collect, std::function<void()> print);

} // namespace listparts
