#pragma once
// The levels dialog: the list of the levels of the open file, where levels are reordered and
// deleted, and the properties of one level (name, graphics file, size, infotrons needed, the hero's
// start square) are edited. It works on the level store directly: Save it, Move Up, Move Down and
// Delete change the store at once, and Cancel does not undo them. Edit validates the properties,
// loads the graphics file when it is not the one loaded, and only then stores the properties, grows
// the level with default cells, sets dialogok and closes the dialog with OK.
//
// Made once with the main window as parent and shown modally with exec(); every showing starts from
// the store (FormShow). Whoever shows it clears dialogok first and tests it afterwards: it is set
// exactly when Edit stored the properties, and the result is then Accepted. Failures inside a
// handler (a field that is not a number, a graphics file that cannot be loaded) are shown in an
// error box and end that handler; the dialog stays open.
//
// The rules live in plain functions below (field checks, conversion, storing); the dialog reads its
// widgets, calls them and shows their messages.

#include <QDialog>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "levels/levelstore.h"
#include "levels/storestep.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace qm {

// The texts of the property fields of the dialog, as typed.
struct LevelFieldTexts {
    std::string name;
    std::string dxg;
    std::string width;
    std::string height;
    std::string infotrons;
    std::string column; // start square, counted from 1
    std::string row;
};

// The fields that the checks of the Edit button correct.
enum class LevelField { Width, Height, Column, Row };

struct LevelFieldCorrection {
    LevelField field;
    std::string text;    // the corrected field text
    std::string message; // shown in an Information box
};

struct LevelFieldCheck {
    std::vector<LevelFieldCorrection> corrections; // in the order they were made
    std::optional<std::string> conversionError;    // a field that is not a number ended the checks
    bool valid() const { return corrections.empty() && !conversionError; }
};

// The checks of the Edit button, in order: width 6..70 and even, height 6..70 and even, start column
// 1..width, start row 1..height. Each check reads its field anew, so a value corrected by an earlier
// check is the one checked next. Corrections are written into fields as they are made. A width or
// height that is the stored level's own (1..100, as files hold them) is taken as it stands: only a
// size the user typed anew is held to what the dialog makes.
LevelFieldCheck checkLevelFields(LevelFieldTexts &fields, const tlevel *stored = nullptr);

// The properties of a level as numbers; the start square in columns and rows.
struct LevelProperties {
    std::string name;
    std::string dxg;
    int32_t width = 40;
    int32_t height = 40;
    int32_t infotrons = 0;
    int32_t column = 2;
    int32_t row = 2;
};

// Converts every numeric field (width, height, start column, start row, infotrons, in that order),
// so that nothing is stored when one of them is not a whole number: throws EConvertError
// "'%s' is not a valid integer value" for the first bad one.
LevelProperties readLevelProperties(const LevelFieldTexts &fields);

// The fields that show a level: the start square is read back from pixels, truncating toward zero.
LevelFieldTexts levelFieldTexts(const tlevel &level);

// What Save it stores: properties without the checks of Edit, but kept within what a level slot
// holds: width and height 1..100, the start square inside them, infotrons not negative.
LevelProperties limitSavedProperties(LevelProperties properties);

// Stores properties into a level without touching a cell (Save it).
void storeLevelProperties(tlevel &level, const LevelProperties &properties);

// Stores checked properties into a level as Edit does: every square that comes inside the level as
// it grows (new columns of the old rows first, then whole new rows) becomes the default cell.
void storeEditedLevel(tlevel &level, const LevelProperties &properties);

class Tnewlevel : public QDialog {
    Q_OBJECT

public:
    // Loads gamedir + a graphics file name as the level tiles of the main window; failures are
    // thrown as qm::Error. Called by Edit when the name differs from loadeddxg.
    using TileLoader = std::function<void(const std::string &dxgName)>;

    explicit Tnewlevel(TileLoader loadTiles = {}, QWidget *parent = nullptr);
    void setTileLoader(TileLoader loadTiles) { mLoadTiles = std::move(loadTiles); }

    // Runs work, which changes the store through the step it is given, as one undoable step named
    // text. Save it, Edit, Move Up, Move Down and Delete go through it; without one set, the work
    // is done and nothing is kept.
    using StepRecorder = std::function<void(const char *text, const std::function<void(StoreStep &)> &work)>;
    void setStepRecorder(StepRecorder record) { mRecord = std::move(record); }

    // The level selected in the list (1-based), always the focused row + 1; 0 when the file holds
    // no level and no row is selected.
    int32_t sellevel = 0;

    // Keeps track of a level just added (and of the level to return to) while the user moves and
    // deletes levels in the dialog, so that an Add Level that is cancelled removes exactly that
    // level. 0 stands for none: markedLevel() becomes 0 when the marked level is deleted.
    void markAddedLevel(int32_t added, int32_t returnTo);
    int32_t markedLevel() const { return mMarkedLevel; }
    int32_t markedReturnLevel() const { return mMarkedReturn; }
    void clearMarks() { mMarkedLevel = mMarkedReturn = 0; }

    void showlevelprops();
    void filllevelgrid();
    void deletelevel(StoreStep &step);

    // Event handlers.
    void FormShow();
    void StringGrid1Click();
    void ComboBox1Exit();
    void Button2Click(); // Save it
    void Edit();         // Edit
    void Button1Click(); // Move Up
    void Button3Click(); // Move Down
    void Button4Click(); // Delete
    void Button6Click(); // Cancel

    // Controls.
    QLabel *Label1;
    QTableWidget *StringGrid1;
    QGroupBox *GroupBox1;
    QLabel *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8, *Label9;
    QLineEdit *namel;
    QComboBox *dxgl;
    QLineEdit *nrxl;
    QLineEdit *nryl;
    QLineEdit *nril;
    QLineEdit *sxl;
    QLineEdit *syl;
    QPushButton *Button2;
    QPushButton *Button1;
    QPushButton *Button3;
    QPushButton *Button4;
    QPushButton *Button5;
    QPushButton *Button6;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    LevelFieldTexts fieldTexts() const;
    void setFieldTexts(const LevelFieldTexts &texts);
    bool selectedLevelExists();
    bool graphicsFileExists();
    // Exchanges levels a and b of the store, and the marks with them.
    void moveLevel(StoreStep &step, int32_t a, int32_t b);
    void moveMarksForSwap(int32_t a, int32_t b);
    void moveMarksForDelete(int32_t deleted);
    template <typename Handler> void run(Handler handler);

    void record(const char *text, const std::function<void(StoreStep &)> &work);

    TileLoader mLoadTiles;
    StepRecorder mRecord;
    bool mFilling = false;
    int32_t mMarkedLevel = 0;
    int32_t mMarkedReturn = 0;
};

} // namespace qm
