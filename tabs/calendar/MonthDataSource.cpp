#include "tabs/calendar/MonthDataSource.h"

#include "pim/OndrelClient.h"

namespace {

class COndrelMonthData : public IMonthDataSource {
 public:
  void CancelLoad() override { COndrelClient::Instance().CancelLoad(); }
  void RequestMonthRange(const SYSTEMTIME& date, HWND replyWindow) override {
    COndrelClient::Instance().RequestMonthRange(date, replyWindow);
  }
  BOOL NewItem(int kind, double start, const double* end) override {
    return COndrelClient::Instance().NewItemEx(kind, nullptr, &start, end, nullptr, 0);
  }
};

IMonthDataSource* g_source = nullptr;

}  // namespace

IMonthDataSource& GetMonthDataSource() {
  static COndrelMonthData ondrel;
  return g_source ? *g_source : ondrel;
}

void SetMonthDataSource(IMonthDataSource* source) { g_source = source; }
