#include "platform/windowlib/Module.h"

#include <gtest/gtest.h>

namespace {

TEST(Module, InstancesStartAsTheBinaryAndResourcesCanBeSwitched) {
  CModule& module = GetModule();
  EXPECT_EQ(module.GetModuleInstance(), GetModuleHandleW(nullptr));
  EXPECT_EQ(module.GetResourceInstance(), module.GetModuleInstance());

  HINSTANCE other = GetModuleHandleW(L"kernel32.dll");
  EXPECT_EQ(module.SetResourceInstance(other), module.GetModuleInstance());
  EXPECT_EQ(module.GetResourceInstance(), other);
  EXPECT_EQ(module.SetResourceInstance(nullptr), other);
  EXPECT_EQ(module.GetResourceInstance(), module.GetModuleInstance());
  EXPECT_FALSE(module.Init(nullptr));
}

TEST(Module, PendingCreationsComeBackLastInFirstOutPerThread) {
  CModule& module = GetModule();
  int first = 0, second = 0;
  ASSERT_TRUE(module.AddCreateWndData(&first));
  ASSERT_TRUE(module.AddCreateWndData(&second));
  EXPECT_EQ(module.ExtractCreateWndData(), &second);
  EXPECT_TRUE(module.RemoveCreateWndData(&first));
  EXPECT_EQ(module.ExtractCreateWndData(), nullptr);
  EXPECT_FALSE(module.RemoveCreateWndData(&first));
}

DWORD WINAPI ExtractOnOtherThread(void* result) {
  *static_cast<void**>(result) = GetModule().ExtractCreateWndData();
  return 0;
}

TEST(Module, AnotherThreadNeverTakesThisThreadsPendingObject) {
  int object = 0;
  ASSERT_TRUE(GetModule().AddCreateWndData(&object));
  void* seen = &object;
  HANDLE thread = CreateThread(nullptr, 0, ExtractOnOtherThread, &seen, 0, nullptr);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  EXPECT_EQ(seen, nullptr);
  EXPECT_EQ(GetModule().ExtractCreateWndData(), &object);
}

TEST(Module, TermUnregistersTheClassesItRegistered) {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModule().GetModuleInstance();
  wc.lpszClassName = L"WindowLibModuleTestClass";
  ATOM atom = 0;
  ASSERT_NE(GetModule().RegisterWndClass(wc, &atom), 0);
  ATOM first = atom;
  EXPECT_EQ(GetModule().RegisterWndClass(wc, &atom), first);  // once only

  GetModule().Term();
  EXPECT_EQ(atom, 0);
  WNDCLASSEXW found = {};
  found.cbSize = sizeof(found);
  EXPECT_FALSE(GetClassInfoExW(wc.hInstance, wc.lpszClassName, &found));
  ASSERT_NE(GetModule().RegisterWndClass(wc, &atom), 0);  // usable again after Term
  GetModule().Term();
}

}  // namespace
