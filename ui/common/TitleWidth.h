#pragma once
// How wide a window must be for the window manager to show its title in
// full. Title bars draw the title in a bold face, most of them centred,
// between the window's icon on one side and its buttons (close, maximise,
// minimise) on the other, so the title needs its own width and room for the
// wider side twice. The room is counted in lines of the font, so that it
// grows with the font and the screen's scale.
namespace tarnwick::ui {

// `titleAdvance`: the title's width in the bold face; `lineHeight`: the
// height of a line in that face.
int TitleFitWidth(int titleAdvance, int lineHeight);

}  // namespace tarnwick::ui
