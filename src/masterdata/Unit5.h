#pragma once
// Producer entry: a new producer or a change of the list's current one.

#include <QDialog>
#include <QMap>

class FilteredEdit;
class QCheckBox;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

class TForm5 : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Uj, Modositas };
    TForm5(Mode mode, QWidget* parent = nullptr);

    static const char* const UjMode;       // "Új őstermelő"
    static const char* const ModositasMode; // "Őstermelő módositás"

    Mode mode() const { return mode_; }
    QString modeText() const;

    // Copies the current row of ZQ30 into the fields; false (after Hiba51) when it fails.
    bool load();
    // One more than the greatest numeric producer code, five digits wide.
    static QString ujKod();
    // "OK": the checks, then the save. True when the producer was written.
    bool save();

    FilteredEdit* field(const QString& column) const { return fields_.value(column); }
    QCheckBox* uresTaj() const { return uresTaj_; }
    QPlainTextEdit* feljegyzes() const { return feljegyz_; }
    QTabWidget* tabs() const { return tabs_; }
    QPushButton* okButton() const { return ok_; }

protected:
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    bool fail(const QString& message, QWidget* focus);
    bool write();

    Mode mode_;
    QMap<QString, FilteredEdit*> fields_;
    QCheckBox* uresTaj_;
    QPlainTextEdit* feljegyz_;
    QTabWidget* tabs_;
    QPushButton* ok_;
};
