#include "overlay/base_win.h"

#include <SDL_syswm.h>

#include "app/startup_error.h"
#include "config/app_data_folder_win.h"
#include "config/skin_file.h"
#include "config/skin_font_win.h"
#include "config/state_file.h"

Base::Base() = default;

void Base::init() {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(sdlWindow, &info) || !info.info.win.window)
        throw StartupError(L"Ardeno Time cannot reach its overlay window.", SDL_GetError());
    hwnd = info.info.win.window;

    SDL_SetWindowHitTest(sdlWindow, hitTest, nullptr);
    loadSkin();
    loadState();
}

void Base::loadState() { ::loadState(*this, commonAppDataFolder()); }

void Base::loadSkin() {
    ConfigFile skin;
    skin.load(skinLayoutPath);
    applySkinLayout(skin, *this);
    const float size = skinFontSize(skin);
    font = createSkinFont(fontCollection, skinFontPath, size);
}
