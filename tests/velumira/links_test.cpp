// The row-at-a-time links against trace_link, for every pixel of the frame.
#include "velumira/links.h"

#include <gtest/gtest.h>

namespace {

constexpr int last_column = 799;
constexpr int last_row = 599;
constexpr int hx = 399;  // screen centre
constexpr int hy = 299;

TEST(Links, EveryLinkOfTheFrameIsTheTracedOne) {
  velumira::link_tables& tables = velumira::link_tables_for(last_column, last_row);
  int seen = 0, wrong = 0;
  for (int i = 0; i <= last_row; ++i) {
    const velumira::link_tables::row links = tables.links_of_row(i);
    for (int j = 0; j <= last_column; ++j) {
      const velumira::eye_link traced = velumira::trace_link(j - hx, i - hy);
      const bool link_seen = links.step[j] < velumira::unseen;
      const int step = links.step[j] % velumira::unseen;
      seen += link_seen;
      if (link_seen != traced.seen_by_both || velumira::step_depth(step) != traced.depth ||
          links.x[j] != hx + traced.x || links.y[j] != hy + traced.y) {
        if (++wrong <= 10) ADD_FAILURE() << "link of (" << j << ", " << i << ")";
      }
    }
  }
  EXPECT_EQ(wrong, 0);
  EXPECT_GT(seen, 0);
}

}  // namespace
