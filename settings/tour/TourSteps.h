// The options tour: every page of every sheet once, one value changed on each, as a
// person would change it. Each change flips what is there, so the tour changes the
// settings again when it runs on a device it already ran on.
#pragma once
#include <windows.h>

#include <cstddef>
#include <string>

enum class TourAction {
  FlipBox,     // a click on a check box
  NextChoice,  // the combo box's next item (the first after the last)
  FlipListRow, // the tick of a list view's row
  NextStored   // the combo box's item after the one named by the stored value; from
               // item `row` on, the first after the last (the items before choose nothing)
};

struct TourStep {
  UINT section;
  int page;
  const wchar_t* name;  // the pictures' name
  TourAction action;
  int control;
  int row;              // FlipListRow: which row; NextStored: the first item that names a value
  const wchar_t* value; // the product key's value that applying the page writes (a
                        // sub-key's with its path: "Filters\\HiddenFolders")
  wchar_t tab;          // the plug-in's tab that shows the change ("ShowTabsSequence"'s character)
};

extern const TourStep kTourSteps[];
extern const size_t kTourStepCount;

// The change on the page, as the stylus makes it, with the step's value as stored;
// false when the control is missing, disabled or has nothing to change to.
bool MakeTourChange(HWND page, const TourStep& step, const std::wstring& stored);
