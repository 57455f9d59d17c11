// Which groups of a tab are folded, per tab and filter choice.
#include "panel/FoldingState.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "base/tests/RegistrySandbox.h"

namespace {

std::wstring Stored(const CRegistryView& key, const wchar_t* name) {
  std::wstring text = L"<missing>";
  key.ReadString(name, text);
  return text;
}

}  // namespace

TEST(FoldingState, KeysPersistSortedPerTabAndChoice) {
  CLocalMachineSandbox machine(L"Folding");
  const CRegistryView product = machine.Key(L"Software\\Korvel\\Qel Tarvo");
  {
    CFoldingState state;
    state.Load(2, 3);
    EXPECT_EQ(std::wstring(state.GetValueName()), L"FoldingState2v3");
    EXPECT_EQ(Stored(product, L"FoldingState2v3"), L"") << "created empty";
    state.Set(L"Business", TRUE);
    state.Set(L"Alpha", TRUE);
    state.SetNumber(-21, TRUE);
    state.Save();
  }
  EXPECT_EQ(Stored(product, L"FoldingState2v3"), L"-21,Alpha,Business");
  {
    CFoldingState state;
    state.Load(2, 3);
    EXPECT_TRUE(state.Query(L"Business"));
    EXPECT_TRUE(state.QueryNumber(-21));
    EXPECT_FALSE(state.Query(L"business"));
    EXPECT_FALSE(state.QueryNumber(21));
    state.Set(L"Business", FALSE);
  }  // the destructor saves
  EXPECT_EQ(Stored(product, L"FoldingState2v3"), L"-21,Alpha");

  // Nothing changed: nothing written, even over another writer's text.
  {
    CFoldingState state;
    state.Load(2, 3);
    product.WriteString(L"FoldingState2v3", L"Other");
    state.Set(L"Alpha", TRUE);
    state.Set(L"Gamma", FALSE);
    state.Save();
  }
  EXPECT_EQ(Stored(product, L"FoldingState2v3"), L"Other");

  struct Case {
    int tab, choice;
    const wchar_t* name;
  };
  for (const Case& c : {Case{2, 70000, L"FoldingState2v4464"}, Case{5, -70000, L"FoldingState5v-4464"},
                        Case{0, 0, L"FoldingState0v0"}}) {
    CFoldingState state;
    state.Load(c.tab, c.choice);
    EXPECT_EQ(std::wstring(state.GetValueName()), c.name);
  }
}

// Values another program wrote: unsorted, doubled, empty keys, any characters.
TEST(FoldingState, AnyStoredTextGivesSortedUniqueKeys) {
  CLocalMachineSandbox machine(L"FoldingFuzz");
  const CRegistryView product = machine.Key(L"Software\\Korvel\\Qel Tarvo");
  product.WriteString(L"FoldingState1v2", L"b,,a,b,c,");
  {
    CFoldingState state;
    state.Load(1, 2);
    EXPECT_TRUE(state.Query(L"a"));
    EXPECT_TRUE(state.Query(L"c"));
    EXPECT_FALSE(state.Query(L""));
    state.Set(L"d", TRUE);
  }
  EXPECT_EQ(Stored(product, L"FoldingState1v2"), L"a,b,c,d");

  std::mt19937 random(5);
  for (int run = 0; run < 1500; ++run) {
    std::wstring text;
    const int length = static_cast<int>(random() % 30);
    for (int i = 0; i < length; ++i)
      text += random() % 3   ? static_cast<wchar_t>(L'a' + random() % 4)
              : random() % 2 ? L','
                             : static_cast<wchar_t>(1 + random() % 0xFFFE);
    product.WriteString(L"FoldingState1v2", text.c_str());
    CFoldingState state;
    state.Load(1, 2);
    state.Set(L"zz", TRUE);
    state.Save();
    const std::wstring stored = Stored(product, L"FoldingState1v2");
    CFoldingState again;
    again.Load(1, 2);
    ASSERT_TRUE(again.Query(L"zz")) << "run " << run;
    // Joined keys come back sorted and once each.
    std::wstring previous;
    size_t start = 0;
    bool first = true;
    while (start <= stored.size()) {
      size_t end = stored.find(L',', start);
      if (end == std::wstring::npos) end = stored.size();
      const std::wstring key = stored.substr(start, end - start);
      ASSERT_FALSE(key.empty()) << "run " << run;
      if (!first) {
        ASSERT_LT(wcscmp(previous.c_str(), key.c_str()), 0) << "run " << run;
      }
      previous = key;
      first = false;
      start = end + 1;
    }
  }
}
