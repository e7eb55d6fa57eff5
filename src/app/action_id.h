// The ids of the main window's actions (app/main_actions.h holds their rows).
#pragma once

namespace tarvik {

// Every action of the main window. A row repeated by index (the recent pages, the pockets)
// shares one id; the index tells them apart.
enum class ActionId {
  None,  // a separator's, and the menu bar as a parent
  // File
  FileMenu,
  OpenUrl,
  OpenFavorite,
  AddFavorite,
  RecentMenu,
  DeleteHistory,
  Recent,
  Downloads,
  SavePage,
  Print,
  Quit,
  // Edit
  EditMenu,
  CopyUrl,
  PasteUrl,
  Find,
  FindNext,
  FindPrevious,
  // View
  ViewMenu,
  ZoomIn,
  ZoomOut,
  ZoomReset,
  FullScreen,
  // Job
  JobMenu,
  NewJob,
  EditJob,
  ImportFavoritesFolder,
  AddToJobMenu,
  ResumeJob,
  ImportBookmarks,
  ExportBookmarks,
  ExportShortcuts,
  JobFromPageLinks,
  JobFromUrlList,
  // A round through the loaded job (app/main_rounds.h)
  CheckUpdates,
  NextUpdate,
  MarkAllSeen,
  AutoCheckJob,
  // Pocket
  PocketMenu,
  ClearMenu,
  ClearAllPockets,
  ClearPocket,
  // Settings
  SettingsMenu,
  HomeUrl,
  FavoritesFolder,
  JobsFolder,
  DefaultBrowser,
  SkinMenu,
  DefaultSkin,
  PrepareNext,
  HighlightChanges,
  AutoCheckHours,
  SpellCheck,
  InternetSettings,
  // Help
  HelpMenu,
  Help,
  AuthorPage,
  Version,
  // The toolbar's buttons, also in the view menu
  Stop,
  Refresh,
  Home,
  Back,
  Forward,
  // The job bar's step buttons, also in the job menu
  FirstEntry,
  PreviousEntry,
  NextEntry,
  LastEntry,
  EntryList,
  // The address bar and the mode picture
  Go,
  ToggleMode,
};

}  // namespace tarvik
