#include "config/skin_font_win.h"

#include "common/message_font_win.h"

std::unique_ptr<Gdiplus::Font> createSkinFont(Gdiplus::PrivateFontCollection& collection, const wchar_t* fontFile,
                                              float size) {
    using namespace Gdiplus;
    collection.AddFontFile(fontFile);  // a failure shows below as a collection without families

    WCHAR name[LF_FACESIZE] = {};
    bool named = false;
    INT found = 0;
    FontFamily first;
    if (collection.GetFamilies(1, &first, &found) == Ok && found == 1)
        named = first.GetFamilyName(name, LANG_NEUTRAL) == Ok;

    // The generic family is cached by GDI+'s wrapper for the rest of the process.
    const FontFamily* fallback = FontFamily::GenericSansSerif();
    FontFamily fromCollection(named ? name : L"", &collection);
    const FontFamily* family = fromCollection.GetLastStatus() == Ok && named ? &fromCollection : fallback;

    std::unique_ptr<Font> font(new Font(family, size, FontStyleRegular, UnitPixel));
    if (font && font->GetLastStatus() != Ok && fallback && family != fallback)
        font.reset(new Font(fallback, size, FontStyleRegular, UnitPixel));
    return font;
}

std::unique_ptr<Gdiplus::Font> createInterfaceFont(float size) {
    using namespace Gdiplus;
    const LOGFONTW system = messageFontAt(DisplayScale());
    std::unique_ptr<Font> font(new Font(system.lfFaceName, size, FontStyleRegular, UnitPixel));
    if (font && font->GetLastStatus() != Ok) {
        if (const FontFamily* fallback = FontFamily::GenericSansSerif())
            font.reset(new Font(fallback, size, FontStyleRegular, UnitPixel));
    }
    return font;
}
