#pragma once
#include "rawedit.h"

#include <QDialog>
#include <vector>

class DBGrid;
class DBNavigator;
class QPushButton;
class QTabWidget;
class QTableWidget;
class QWidget;
class TTable;

// The raw table view: the six main tables in grids, read-only until an access
// code opens them. A row is edited in the row editor under its grid; each
// posted row is written by its ID and committed at once.
class TForm22 : public QDialog {
    Q_OBJECT
public:
    explicit TForm22(QWidget* parent = nullptr);
    ~TForm22() override;

    rawedit::Access access() const { return access_; }
    QTabWidget* PageControl1;
    QPushButton* BitBtn1; // "Szerkeszt"
    QPushButton* BitBtn2; // "Mégsem"

    void SzerkesztClick();
    void applyCode(const QString& code);

    // Row editing of a tab (0..5), as the navigator's buttons do.
    bool startEdit(int tab);
    bool startInsert(int tab);
    bool post(int tab);
    void cancel(int tab);
    bool removeCurrent(int tab);
    void refresh(int tab);
    bool editing(int tab) const;
    // The row editor's text for a column (set before post).
    void setEditorText(int tab, const QString& column, const QString& text);
    QString editorText(int tab, const QString& column) const;

    void done(int r) override;

protected:
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    enum class Mode { None, Edit, Insert };
    struct Page {
        QString table;
        TTable* t = nullptr;
        QWidget* page = nullptr;
        DBGrid* grid = nullptr;
        DBNavigator* nav = nullptr;
        QWidget* editBar = nullptr;
        QTableWidget* editor = nullptr;
        QStringList columns; // writable columns, read when first edited
        Mode mode = Mode::None;
        qint64 id = 0;
        rawedit::Values original;
    };
    void applyAccess();
    void fillEditor(Page& p, bool fromRow);
    void closeEditor(Page& p);
    void rowLeft(int tab);
    void reopenAt(Page& p, qint64 id);
    bool restoreReadOnly();
    std::vector<Page> pages_;
    rawedit::Access access_ = rawedit::Access::ReadOnly;
    bool closing_ = false;
};
