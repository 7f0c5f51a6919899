#include "dictool/PageFill.h"

namespace tavo {
namespace {

class CountingSink : public RowSink {
 public:
  explicit CountingSink(RowSink& inner) : inner_(inner) {}
  void AddRow(std::string_view text, const THitLine* record) override {
    inner_.AddRow(text, record);
    ++rows;
  }
  int rows = 0;

 private:
  RowSink& inner_;
};

}  // namespace

FillEnd FillPage(SearchSession& session, HitSource& source, RowSink& sink, int visibleRows,
                 const std::function<void()>& pump) {
  if (session.PageFilling) return FillEnd::Busy;
  session.PageFilling = true;
  struct ClearOnExit {
    bool& flag;
    ~ClearOnExit() { flag = false; }
  } clear{session.PageFilling};

  CountingSink counted(sink);
  const DicScanner::Poll poll = [&] {
    pump();
    return session.CancelRequest;
  };
  while (!session.CancelRequest) {
    HitRow hit;
    const NextHitResult r = source.NextHit(poll, counted, hit);
    if (r == nhHit) {
      counted.AddRow(hit.Text, hit.Record ? &*hit.Record : nullptr);
      session.HitFound = true;
    } else if (r == nhEnd) {
      if (!session.CancelRequest) return FillEnd::Ended;
      break;
    }
    if (counted.rows + 1 >= visibleRows) break;
  }
  return session.CancelRequest ? FillEnd::CancelRequested : FillEnd::Paused;
}

}  // namespace tavo
