#pragma once
// The entry screens of the master data and the buyer's profile: fields named
// "ed_" + column, a new or a change mode, the row loaded from the list's query
// object, OK → the record's check-and-save unit → the outcome shown, the focus
// on the field at fault, and the screen opening on its first editable field.

#include "context.h"
#include "edits.h"
#include "records.h"

#include <QDialog>
#include <QHash>
#include <QMap>

class QPushButton;
class QBoxLayout;
class TQuery;

class EntryScreen : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Uj, Modositas };

    Mode mode() const { return mode_; }
    // The mode as the screen names it ("Új őstermelő", "Őstermelő módositás").
    QString modeText() const;

    // Fills the fields with the record to change; false after the screen's
    // load-failure message.
    virtual bool load() { return true; }

    // "OK": the record's unit checks and saves; its outcome is shown. True
    // when the record was written.
    bool save();

    FilteredEdit* field(const QString& column) const { return fields_.value(column); }
    QPushButton* okButton() const { return ok_; }

protected:
    EntryScreen(Mode mode, const char* newText, const char* modifyText, QWidget* parent);

    // Registers a field under its column: object name "ed_" + column.
    FilteredEdit* addField(const QString& column, FilteredEdit* e);
    // The OK and cancel buttons at the bottom right; OK saves and closes on success.
    void addButtons(QBoxLayout* top, const QString& okText = "OK");
    const QMap<QString, FilteredEdit*>& fields() const { return fields_; }
    // The end of a constructor: Enter moves between the fields, and in the
    // new mode the code field gets the next code.
    void finishFields(const QString& codeColumn = {}, QString (*nextCode)() = nullptr);
    // The code finishFields offered (null when none): a save can tell it from
    // a code typed over it.
    QString offeredCode() const { return offered_; }
    // Every field's text by column.
    QHash<QString, QString> fieldTexts() const;

    // Copies the current row of q into the fields with a column of the same
    // name; false after failMessage when there is no row or reading fails.
    bool loadRow(TQuery* q, const QString& failMessage);

    // The record's unit, given what was typed.
    virtual rec::Outcome saveRecord() = 0;
    // After a save that reached the database, written or failed (the list
    // beneath shown again, values refreshed); not after a failed check.
    virtual void afterWrite() {}
    // Makes the field at fault reachable before it takes the focus (a tab page).
    virtual void revealField(QWidget*) {}

    void showEvent(QShowEvent* e) override;

private:
    Mode mode_;
    const char* newText_;
    const char* modifyText_;
    QMap<QString, FilteredEdit*> fields_;
    QPushButton* ok_ = nullptr;
    bool shownOnce_ = false;
    QString offered_;
};

