#pragma once
// How wide the first column of the results ("Datei/Kontext", the paths and
// the hits' context) is: it takes the width the view has beside the other
// columns, never less than kLeastWidth, and follows the view as the window
// is resized. Widths the user sets by hand stand: once the user has sized
// the first column, it keeps that width; after the user has sized another
// column, the first one takes what that leaves.
// Not thread-safe; no widgets.
#include <optional>

namespace tarnwick::ui {

class PathColumnFit {
public:
    // Below this a path would be little more than its first folder.
    static constexpr int kLeastWidth = 200;

    // The first column's width in a view `viewWidth` pixels wide whose other
    // columns take `otherColumns` pixels; nothing once the user has sized it.
    std::optional<int> pathWidth(int viewWidth, int otherColumns) const;

    // The user dragged or double-clicked the divider after `column` (0 is the first).
    void columnSizedByUser(int column);

    bool isPathSizedByUser() const { return m_pathSizedByUser; }

private:
    bool m_pathSizedByUser = false;
};

}  // namespace tarnwick::ui
