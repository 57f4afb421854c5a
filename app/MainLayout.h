#pragma once

// The positions the resize rule gives the main window's controls for a client
// area of width w and height h. Below 538 x 344 the content keeps that size and
// the window cuts it off.
struct MainLayout {
    int toolbarWidth;
    int dividerLeft;
    int navigatorLeft;
    int notebookWidth;
    int notebookHeight;
    int infoWidth;
    int infoHeight;
    int memoWidth;
    int memoHeight;
    int commentsTop;
    int statusWidth;
    int statusTop;

    static MainLayout forClient(int w, int h);
};
