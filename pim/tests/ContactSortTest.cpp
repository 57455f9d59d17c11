// The contacts list's comparators: photos first when asked, then names or texts.
#include "pim/ContactSort.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/MergeSort.h"

namespace {

class Contact : public CSortableContact {
 public:
  Contact(const wchar_t* name, const wchar_t* text, bool photo) : m_name(name), m_text(text), m_photo(photo) {}
  BOOL HasPhoto() const override { return m_photo; }
  LPCWSTR GetDisplayName() const override { return m_name; }
  LPCWSTR GetSortText() const override { return m_text; }

 private:
  const wchar_t* m_name;
  const wchar_t* m_text;
  bool m_photo;
};

int Sign(int v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

TEST(ContactSort, ComparatorsInTheirOrder) {
  Contact annaPhoto(L"anna", L"Berlin", true), anna(L"Anna", L"berlin", false), bert(L"Bert", L"Athens", false),
      bertPhoto(L"bert", L"Athens", true), nameless(nullptr, nullptr, false);
  const struct Case {
    const char* what;
    BYTE modeA, flagA;
    Contact* a;
    BYTE flagB;
    Contact* b;
    int byName, byText;
  } cases[] = {
      {"photo first", 1, 0, &bertPhoto, 0, &anna, -1, -1},
      {"no photo mode: names, case ignored", 0, 0, &bertPhoto, 0, &anna, 1, -1},
      {"the first entry's mode decides", 0, 0, &anna, 0, &bertPhoto, -1, 1},
      {"same name: the photo decides", 1, 0, &anna, 0, &annaPhoto, 1, -1},
      {"flag: taken as without photo", 1, 1, &annaPhoto, 0, &anna, 0, 1},
      {"text: case counts before photos", 1, 0, &annaPhoto, 0, &anna, -1, 1},
      {"nothing to compare", 1, 0, &nameless, 0, &nameless, 0, 0},
      {"a missing name sorts first", 0, 0, &nameless, 0, &anna, -1, -1},
  };
  for (const Case& c : cases) {
    CONTACT_SORT_ENTRY a = {c.modeA, c.flagA, -1, -1, c.a};
    CONTACT_SORT_ENTRY b = {c.modeA, c.flagB, -1, -1, c.b};
    EXPECT_EQ(Sign(CompareContactsByName(&a, &b)), c.byName) << c.what;
    EXPECT_EQ(Sign(CompareContactsByText(&a, &b)), c.byText) << c.what;
    EXPECT_EQ(Sign(CompareContactsByName(&b, &b)), 0) << c.what;
  }
}

TEST(ContactSort, AListSortsPhotosFirstAndKeepsEqualsInOrder) {
  Contact carl(L"Carl", L"", false), anna(L"anna", L"", true), bert(L"Bert", L"", false), ann2(L"Anna", L"", true);
  std::vector<CONTACT_SORT_ENTRY> entries = {
      {1, 0, -1, -1, &carl}, {1, 0, -1, -1, &anna}, {1, 0, -1, -1, &bert}, {1, 0, -1, -1, &ann2}};
  std::vector<CONTACT_SORT_ENTRY*> list;
  for (CONTACT_SORT_ENTRY& e : entries) list.push_back(&e);
  MergeSort(list.data(), static_cast<int>(list.size()), 0,
            [](int, const CONTACT_SORT_ENTRY* a, const CONTACT_SORT_ENTRY* b) { return CompareContactsByName(a, b); });
  std::vector<std::wstring> names;
  for (CONTACT_SORT_ENTRY* e : list) names.push_back(e->contact->GetDisplayName());
  EXPECT_EQ(names, (std::vector<std::wstring>{L"anna", L"Anna", L"Bert", L"Carl"}));
}

}  // namespace
