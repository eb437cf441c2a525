#pragma once
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/View.h"

// The drawing area of the signature pad: records finger strokes as lists of points and draws
// them with round joins and caps. Offers clear, undo (`revocation`) and redo (`refrom`).
//
// The stroke state is one process-wide set of lists (a single pad is on screen at a time);
// constructing a SignView resets it. Points are kept in their text form ("{x, y}") and parsed
// again on every redraw.
class SignView : public ui::View {
public:
    SignView();
    explicit SignView(ui::Rect frame);
    std::string className() const override { return "SignView"; }

    // Pen colour and width by index into the colour table (0 black, 1 green, 2 blue, 3 red,
    // 4 black, 5 white) and the width table (5, 10, 12, 14, 16 points). An index outside the
    // table is refused and the pen stays as it was.
    void setLineColor(int index);
    void setlineWidth(int index);

    // Empties every list (strokes, the stroke in progress and the undo stacks) and resets the pen.
    void clear();
    // Undo: the last stroke (with its colour and width) moves to the undone stacks.
    void revocation();
    // Redo: the last undone stroke comes back at the end.
    void refrom();

    void touchesBegan(const ui::Touches& touches) override;
    void touchesMoved(const ui::Touches& touches) override;
    void touchesEnded(const ui::Touches& touches) override;
    // A cancelled touch keeps its points in the current stroke: the next stroke continues it.
    void touchesCancelled(const ui::Touches& touches) override;

    void draw(ui::GraphicsContext& context, ui::Rect rect) override;

    // What the pad has recorded (shared by every SignView).
    struct State {
        std::vector<std::string> currentPoints;
        std::vector<std::vector<std::string>> strokes;
        std::vector<int> strokeColors;
        std::vector<int> strokeWidths;
        std::vector<std::vector<std::string>> undoneStrokes;
        std::vector<int> undoneColors;
        std::vector<int> undoneWidths;
        int colorIndex = 0;
        int widthIndex = 0;
        ui::Point lastPoint;
    };
    static const State& state();
    // Something is drawn: a stroke (finished or in progress) whose finger moved, so that it
    // has at least two points. A tap alone leaves an empty stroke and draws nothing.
    static bool hasDrawing();

    static ui::Color colorAt(int index);
    static double widthAt(int index);
    // A point in text form and back ("{12.5, 30}"); text that does not parse gives nullopt.
    static std::string stringFromPoint(ui::Point point);
    static std::optional<ui::Point> pointFromString(const std::string& text);

    // The tag of the hint label inside the drawing area.
    static constexpr int kHintTag = 909;

private:
    // Ends the stroke in progress: its colour, width and points join the strokes.
    void addLA();
    static void reset();
};
