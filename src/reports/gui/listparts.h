#pragma once
// Pieces the list screens share: the yyyy.mm.dd date pickers, named buttons
// and notes, the "Dátum ?" choice and the grid with its navigator.

#include <QString>

class DBGrid;
class DBNavigator;
class QBoxLayout;
class QDateEdit;
class QDate;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QWidget;

namespace listparts {

QDateEdit* datePicker(const QDate& date, const char* name, QWidget* parent);
QPushButton* button(const QString& text, const char* name, QWidget* parent);
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

} // namespace listparts
