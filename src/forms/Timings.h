#pragma once

// Every delay and limit the program waits on, in one place: the program runs with
// these defaults; a test sets shorter ones before its first window.
struct Timings
{
    // A download that receives nothing for this long has failed.
    int stallLimitMs = 20000;
    // The engine may leave a cancelled download's file this long after the cancel.
    int engineCleanupMs = 1000;
    // For this long after a page has gone, a download request is taken as one from
    // no page (the engine's page() may read a page already deleted).
    int pageGoneGraceMs = 2000;
    // A page's questions closer together than this are in a row.
    int questionRowGapMs = 3000;
    // A page asked whether it may be left that has not asked the user within this
    // long is left.
    int leaveAnswerMs = 3000;
    // A page that has not answered the user's Stop, key or new address for this long
    // is offered to be ended.
    int hungPageMs = 5000;
    // A download's window shows progress at most this often.
    int downloadRefreshMs = 250;
    // A page out of sight this long goes to sleep (frozen: no script runs) until the
    // user looks at it again.
    int hiddenSleepMs = 5 * 60 * 1000;
    // How many windows out of sight stay live; fewer when the memory available falls
    // under this share of all of it. The rest are put away until shown.
    int liveOutOfSight = 32;
    int liveOutOfSightWhenShort = 8;
    int shortMemoryPercent = 15;
    // The memory available is read again at most this often.
    int memoryCheckMs = 1000;
    // The memory of pages put away goes back to the system this long after the last
    // of them, so that a run of them is given back at once.
    int giveBackMemoryMs = 1000;
    // After a crash, the windows behind the reopened front one come once its page is
    // complete, or after this long without it.
    int reopenOthersMs = 3000;
};
