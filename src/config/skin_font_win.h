#pragma once

#include <windows.h>

#include <gdiplus.h>

#include <memory>

// Adds `fontFile` to `collection` and makes a regular font of `size` pixels from its first
// family. A missing or unusable font file, or a family that yields no font, falls back to the
// generic sans-serif family; if even that fails, the font carries the failing status and no
// native font. Null only when GDI+ cannot allocate the object.
std::unique_ptr<Gdiplus::Font> createSkinFont(Gdiplus::PrivateFontCollection& collection, const wchar_t* fontFile,
                                              float size);

// The system's interface font (see messageFontAt) at `size` pixels, regular, for text in any script
// that the skin's font may not have; the generic sans-serif family when GDI+ does not know it.
std::unique_ptr<Gdiplus::Font> createInterfaceFont(float size);
