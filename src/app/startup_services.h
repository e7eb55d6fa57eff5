// What the process prepares for itself: the little its first page waits for, and the rest of a
// first start's setup, which waits for that page.
#pragma once

namespace tarvik {

class BrowserControl;

// Before the first window: makes the application folder usable and, when the chosen skin is one
// of the shipped skins, writes the files of that one skin that are missing.
void PrepareProcess();

// The rest, at once: the other shipped skins, the desktop registration (its .desktop files,
// icons, MIME package and, later and at low priority, the desktop's caches) and the record of
// this copy's folder and version. Each part does nothing when it is done already.
void PrepareRestOfProcess();

// Leaves the rest until `first_page` has loaded its first page (or a few seconds have passed
// without it), and then does it a part at a time in the main loop's idle time.
void PrepareRestAfterFirstPage(BrowserControl& first_page);

// Does at once what PrepareRestAfterFirstPage left and has not done yet: for the commands that
// need it, and as the process ends.
void FinishDeferredPreparation();

}  // namespace tarvik
