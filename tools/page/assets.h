// The style sheet and the script of the report page, our own, written into
// the page itself.
//
// The script works on the drawing's groups (see Group in
// tools/drawing/canvas.h): a panel `g.zoom` zooms and pans inside its clip
// by rewriting the coordinates of what it holds, so that lines stay thin
// and texts keep their size; a mark `g.segno` moves as a whole with its
// anchor; every element with `data-key` shows its details, from the JSON
// of `#dati`, on click and its title on hover. Links `a.vai` with
// `data-metro` bring that metre of the route into view.
#ifndef SCENARIO_TOOLS_PAGE_ASSETS_H_
#define SCENARIO_TOOLS_PAGE_ASSETS_H_

namespace scenario {

extern const char kPageStyle[];
extern const char kPageScript[];

}  // namespace scenario

#endif  // SCENARIO_TOOLS_PAGE_ASSETS_H_
