#pragma once
// The gallery's pictures, drawn rather than read from files: the icons of
// the chart of accounts and the tile behind the banner.

class TBitmap;
class TCustomImageList;

namespace gallery {

// Appends one 16 x 16 icon per icon number of the chart of accounts, in
// the order of demoarchive::ChartIcon.
void AddChartIcons(TCustomImageList* images);

// Makes tile a small picture that repeats seamlessly.
void DrawBannerTile(TBitmap* tile);

} // namespace gallery
