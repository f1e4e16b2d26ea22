#pragma once

#include <windows.h>

#include <vector>

// How many more GDI objects this process may make. Under Wine GetGuiResources counts nothing,
// while running out shows what is held: measured before and after many frames, a leak shows.
inline int gdiHeadroom() {
    std::vector<HBRUSH> brushes;
    while (HBRUSH brush = CreateSolidBrush(0)) brushes.push_back(brush);
    for (HBRUSH brush : brushes) DeleteObject(brush);
    return static_cast<int>(brushes.size());
}
