#pragma once
// Product entry: a new product or a change of the list's current one.

#include <QDialog>
#include <QMap>

class FilteredEdit;
class QLabel;
class QPushButton;

class TForm7 : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Uj, Modositas };
    TForm7(Mode mode, QWidget* parent = nullptr);

    static const char* const UjMode;        // "Új termék"
    static const char* const ModositasMode; // "Termék módositás"

    Mode mode() const { return mode_; }
    QString modeText() const;

    // Copies the current row of ZQ40 into the fields; false (after Hiba71) when it fails.
    bool load();
    // One more than the greatest numeric product code, five digits wide.
    static QString ujKod();
    // "OK": the checks, then the save. True when the product was written.
    bool save();

    FilteredEdit* field(const QString& column) const { return fields_.value(column); }
    QPushButton* okButton() const { return ok_; }

private:
    bool fail(const QString& message, QWidget* focus);

    Mode mode_;
    QMap<QString, FilteredEdit*> fields_;
    QPushButton* ok_;
};
