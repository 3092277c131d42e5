#pragma once

#include <QString>

// A page's own dialog as the user sees it: the site that raised it, its text and,
// for a prompt, the value typed.
struct PageDialog
{
    enum Kind { Alert, Confirm, Prompt, Leave };
    Kind kind = Alert;
    QString site;  // scheme and host: the title
    QString text;  // from the page: plain text only
    QString value; // a prompt's default in, what the user typed out
    // Offered when the page raises dialogs in a row; stop says the user took it.
    bool offerStop = false;
    bool stop = false;
};
