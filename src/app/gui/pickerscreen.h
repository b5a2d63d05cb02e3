#pragma once
// The list screens of the master data (producers, products), which are also
// the pickers of other screens: a status line, a grid over the list's query
// object with a navigator, a read-only panel of the current row, and the
// buttons "Új", "Módosít", "Töröl", "Kiválaszt", "Mégsem" and a print button.
// "Kiválaszt", Enter in the list and a double click on a row choose: the
// caller reads the chosen row from the query object after the screen closes.
//
// A screen builds itself in layout order: addStatus, its own rows, addBody,
// addButtons, then bindQuery.

#include "QueryModel.h"
#include "records.h"

#include <QDialog>
#include <QMap>
#include <memory>

class DBGrid;
class DBNavigator;
class EntryScreen;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;
class TQuery;

class PickerScreen : public QDialog {
    Q_OBJECT
public:
    struct PanelField {
        const char* label; // nullptr: shown without a label
        const char* key;   // column, or a key that panelValue composes
    };
    struct Body {
        const char* gridAccessibleName;
        QSize gridMinimum;
        const char* panelTitle;
        int panelFieldWidth;
        int panelSpacing;  // between the panel's rows; -1: the style's
        bool panelStretch; // rows kept at the top
    };

    DBGrid* grid() const { return grid_; }
    QLabel* status() const { return status_; }
    QPushButton* button(const QString& objectName) const;
    QString panelText(const QString& column) const;

    virtual void ujClick();
    virtual void modositClick();
    // "Töröl": the current row through the record's unit, the outcome shown,
    // then the list again as when first shown.
    void torolClick();
    virtual void nyomtatClick() = 0;

protected:
    PickerScreen(TQuery* q, QWidget* parent);

    QVBoxLayout* topLayout() const { return top_; }
    void addStatus(const QString& text);
    // The grid with its navigator, and the panel: every panel field gets the
    // object name "pn_" + key.
    void addBody(const Body& body, const QList<PanelField>& panel);
    void addButtons(const QString& printText);
    void bindQuery(const QList<GridColumn>& columns);

    TQuery* query() const { return q_; }
    bool hasCurrentRow() const;
    QLineEdit* panelField(const QString& key) const { return panel_.value(key); }

    // Positions the list on the first row whose field begins with the text.
    void positionOn(const QString& field, const QString& prefix);

    // Runs when the screen is first shown: the list again, positioned on the
    // remembered key.
    virtual void firstShow() = 0;
    // A column title clicked.
    virtual void titleClicked(int section) = 0;
    // The panel's text for a key; by default the current row's field.
    virtual QString panelValue(const QString& key) const;

    // The entry screen for a new row or a change of the current one, and the
    // status line after it saved.
    virtual std::unique_ptr<EntryScreen> makeEntry(bool modify) = 0;
    virtual QString statusAfterSave() const = 0;
    void openEntry(bool modify);

    // Deletes the current row (there is one); removedText is shown after it.
    virtual rec::Outcome removeCurrent() = 0;
    virtual QString removedText() const = 0;

    void showEvent(QShowEvent* e) override;

private:
    void updatePanel();

    TQuery* q_;
    QVBoxLayout* top_;
    QLabel* status_ = nullptr;
    DBGrid* grid_ = nullptr;
    DBNavigator* nav_ = nullptr;
    QMap<QString, QLineEdit*> panel_;
    bool shownOnce_ = false;
};
