#pragma once

#include "dialogs/PageDownload.h"
#include "forms/ChildHost.h"

class Prompter;
class TreeView;

// What the page-source editor needs of the frame: the prompter, the "Open Web's"
// tree its windows are entered in, and the download (loaded on first use).
class EditorHost : public virtual ChildHost
{
public:
    virtual Prompter *prompter() const = 0;
    virtual TreeView *openWebsTree() const = 0;
    virtual PageFetch pageFetch() const = 0; // nullptr when it cannot be loaded
};
