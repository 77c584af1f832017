#pragma once
// The Database page's controls. The values are the form's own: another page
// may use the same number for a different control.

enum class DatabaseId : int {
    CreateRecord = 1006,
    // Read-only copies of the Plugin page's name and description.
    NameMirror = 1036,
    DescriptionMirror = 1037,
    Category = 1033,
    Image = 1007,
    BrowseImage = 1028,
    Archive = 1034,
    BrowseArchive = 1035,
    ArchiveSize = 1008,
    AuthorName = 1026,
    AuthorEmail = 1029,
    AdapterName = 1030,
    AdapterEmail = 1031,
    // In the record's order, which is not the ids' order.
    Grade1 = 1012,
    Grade2 = 1014,
    Grade3 = 1013,
    OriginalLink = 1032,
    SiteHomeLink = 1009,
};

// Lets CDialog and the layout rows take these ids.
constexpr bool IsControlId(DatabaseId) { return true; }
