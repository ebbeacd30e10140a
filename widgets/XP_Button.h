// A flat push button that draws itself: a plain face with a glyph and a one-line caption;
// under the pointer it lights up, gets an outline and lifts its glyph off a flat shadow, and
// while held down the glyph sinks back. It can drop a pop-up menu down under itself.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Font.h"
#include "framework/ImageListComponent.h"
#include "framework/Picture.h"
#include "framework/PopupMenu.h"
#include "framework/WinControl.h"
#include "widgets/XP_Color.h"

namespace xp {

// Where the glyph sits relative to the caption.
enum AlignPos { glLeft, glRight, glTop, glBottom };

class TtfXPButton : public tmb::WinControl {
public:
    explicit TtfXPButton(tmb::Component* owner);
    ~TtfXPButton() override;

    // The caption is the control's text (and so its window's text).
    std::wstring Caption() const { return Text(); }
    void SetCaption(const std::wstring& caption) { SetText(caption); }

    // The button's own colour set; SetColors copies the four colours into it.
    TtfXPColor& Colors() { return colors_; }
    const TtfXPColor& Colors() const { return colors_; }
    void SetColors(const TtfXPColor& colors) { colors_ = colors; }

    tmb::PopupMenu* DropDownMenu() const { return dropDownMenu_; }
    void SetDropDownMenu(tmb::PopupMenu* menu);

    // Rings of outline in the hot look; 0 or less draws none. Used at the next paint.
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int value) { borderWidth_ = value; }

    // The button keeps its own copy of the picture.
    const tmb::Picture& Glyph() const { return glyph_; }
    void SetGlyph(const tmb::Picture& picture);

    // With Images set and ImageIndex >= 0 the glyph is that image of the list.
    tmb::ImageListComponent* Images() const { return images_; }
    void SetImages(tmb::ImageListComponent* images);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index);

    AlignPos GlyphLayout() const { return glyphLayout_; }
    void SetGlyphLayout(AlignPos layout);
    int GlyphTextGap() const { return glyphTextGap_; }
    void SetGlyphTextGap(int gap);
    int ShadowSize() const { return shadowSize_; }
    void SetShadowSize(int size);

    // The state the look follows, and where the last paint put the glyph and the caption
    // (relative to the button's top-left corner).
    bool Hot() const { return hot_; }
    bool Pressed() const { return pressed_; }
    POINT GlyphPos() const { return glyphPos_; }
    POINT TextPos() const { return textPos_; }
    // True while a glyph mask from the last paint is kept.
    bool HasGlyphMask() const { return static_cast<bool>(glyphMask_); }

    void MouseDown(tmb::MouseButton button, unsigned shift, int x, int y) override;
    void MouseMove(unsigned shift, int x, int y) override;
    void MouseUp(tmb::MouseButton button, unsigned shift, int x, int y) override;
    void Click() override;
    void MouseEnter() override;
    void MouseLeave() override;

    void Notification(tmb::Component* component, tmb::Operation operation) override;

protected:
    void CreateParams(tmb::CreateArgs& args) override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool EraseBackground(HDC) override { return true; }  // every pixel is painted
    void PaintWindow(HDC dc, const RECT& area) override;
    void TextChanged() override;
    void EnabledChanged() override;
    void ChangeScale(int to, int from) override;

private:
    // The whole look, drawn onto `target` (the window's paint DC or its plain DC).
    void PaintTo(HDC target);
    // Draws straight onto the window, outside any WM_PAINT.
    void PaintNow();
    void UpdateLayout(HDC canvas, const tmb::Picture& source);
    void DrawGlyph(HDC canvas, const tmb::Picture& source);
    bool UsesImageList() const { return images_ && imageIndex_ >= 0; }
    tmb::Picture SourcePicture() const;
    // Whether the pointer is over the button, judged in the parent's client coordinates:
    // the top row counts as outside, the left column as inside.
    bool MouseIsOver() const;

    TtfXPColor colors_;
    tmb::PopupMenu* dropDownMenu_ = nullptr;
    int borderWidth_ = 1;
    tmb::Picture glyph_;
    tmb::ImageListComponent* images_ = nullptr;
    int imageIndex_ = -1;
    AlignPos glyphLayout_ = glLeft;
    int glyphTextGap_ = 4;
    int shadowSize_ = 1;

    bool hot_ = false;
    bool pressed_ = false;
    bool pointerInside_ = false;  // between the window's mouse-enter and mouse-leave
    bool clickArmed_ = false;     // a left press that a release inside turns into a click
    POINT glyphPos_{0, 0};
    POINT textPos_{0, 0};
    tmb::BitmapHandle glyphMask_;
    // The caption is drawn and measured in the default font (at the button's DPI),
    // whatever Font says.
    tmb::Font canvasFont_;
};

} // namespace xp
