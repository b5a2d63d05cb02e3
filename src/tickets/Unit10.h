#pragma once
// Ticket line entry: one product line of the ticket open in the entry screen.

#include "ticketentry.h"

#include <QDialog>
#include <QMap>

class FilteredEdit;
class QLabel;
class QPushButton;

class TForm10 : public QDialog {
    Q_OBJECT
public:
    enum class Mode { New, Change };
    static QString modeText(Mode m); // "Új tételsor" / "Felvásárlási jegy módositás"

    // bszam: the entry screen's ticket number; levonszaz: its "Súlylevon.%" text.
    TForm10(Mode mode, const QString& bszam, const QString& levonszaz, QWidget* parent = nullptr);
    // Line change: loads the line on which the entry screen's grid (ZQ20) stands.
    bool load();
    // "Termék": the product list as a picker, then its current product.
    void chooseProduct();
    // Copies the product on which ZQ40 stands into the fields.
    void takeProduct();
    // The ticket's rates as the entry screen holds them: the line's check that
    // the ticket's totals and payable stay within bounds uses them.
    void setRates(const payable::Input& rates) { rates_ = rates; }
    // Where the line is stored when that is not the number shown: the key of
    // an unsaved new ticket.
    void setLinesKey(const QString& key) { linesKey_ = key; }
    // The ticket was printed when its entry opened it (the service shortcut).
    void setPrinted(bool printed) { printed_ = printed; }
    // "OK": checks, then the save. True when the screen may close.
    bool save();

    FilteredEdit* edit(const QString& column) const { return edits_.value(column); }

protected:
    void showEvent(QShowEvent* e) override;

private:
    Mode mode_;
    QString bszam_;
    QString linesKey_;
    QString levonszaz_;
    qint64 id_ = 0;
    bool printed_ = false;
    payable::Input rates_;
    QMap<QString, FilteredEdit*> edits_;
    QLabel* bizonylatLabel_;
    bool bizonylatVisible_ = false;
    QString defaultKomp_;
    bool shown_ = false;
};
