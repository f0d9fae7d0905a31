// CSkinSlider: a trackbar that keeps all of its behaviour and replaces its painting
// through custom draw: a channel picture as the control's whole background, a thumb
// picture, and a green fill bar shaded like a tube from x = 8 to the thumb, so the
// slider reads as a level gauge. The pictures are named in the skin file ([gslider])
// and loaded afresh at every paint.
#pragma once
#include <limits.h>
#include <windows.h>

#include "controls.h"
#include "gdi.h"
#include "skin_config.h"

class CSkinSlider : public CSliderCtrl {
public:
    // `configPath` is the program's skin file (str_ConfigINI); it is expanded to a full
    // path and the four [gslider] pictures are read at once. Each missing one shows
    // "Setting file not found." and requests the quit (code -1).
    explicit CSkinSlider(const char* configPath);
    ~CSkinSlider() override;

    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    // The drawing constants.
    enum {
        THUMB_OFFSET_X = 3,   // thumb picture: right of the thumb rectangle's left side
        THUMB_Y = 3,          // ... and at this y of the control
        BAR_LEFT = 8,         // fill bar's left end
        BAR_TOP_INSET = 5,    // below the thumb rectangle's top
        BAR_BOTTOM_INSET = 8  // above its bottom
    };

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnCustomDraw(NMCUSTOMDRAW* cd);
    // `thumb` is the thumb rectangle; it also tells the orientation (taller than wide:
    // horizontal pictures).
    void DrawChannel(CDC* dc, const CRect& channel, const CRect& thumb);
    void DrawThumbAndBar(CDC* dc, const CRect& thumb);
    void InvalidateIfMoved();

    // In this order: thumb_h, thumb_v, channel_h, channel_v (20 bytes each), then the
    // skin file's full path (100 bytes).
    SkinSliderPictures m_pictures;
    char m_szConfigPath[SKIN_PATH_SIZE];
    // Position last seen: a move repaints the whole control, so that the bar is drawn
    // afresh from the left end and no green stays behind a thumb that moved left.
    int m_nSeenPos = INT_MIN;
    bool m_bCheckingPos = false;
};
