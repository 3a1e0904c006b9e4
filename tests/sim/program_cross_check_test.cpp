// The program's own client side against the running sim: its HTTP transport, login body,
// search forms and page parsers, over one kept-alive HTTPS connection.
#include <gtest/gtest.h>

#include <filesystem>

#include "foundation/files.h"
#include "foundation/settings_keys.h"
#include "foundation/settings_store.h"
#include "foundation/sjis.h"
#include "service/curl_transport.h"
#include "service/detail_page_parser.h"
#include "service/result_page_parser.h"
#include "service/search_forms.h"
#include "service/service_requests.h"
#include "store/program_state.h"
#include "tests/sim/sim_process.h"

namespace kestrova::test {
namespace {

class ProgramAgainstSimTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(std::filesystem::exists(SimBinary())) << SimBinary() << " is not built";
    ASSERT_TRUE(sim_.Start({"--account", "12345678:p&ss=w%rd+1"}));
    TransportOptions options;
    options.extraCaFile = platform::ProgramPath(sim_.caFile());
    transport_ = std::make_unique<CurlTransport>(options);
    ASSERT_EQ(transport_->Open(kUserAgent), 0);
    state_.detailHeader.lines.LoadLines(
        platform::ProgramPath(std::string(KESTROVA_SOURCE_DIR) + "/Setting/Syousai_Header.dat"));
  }

  TransportResult Post(const char* path, const std::string& body) {
    TransportRequest request{
        "POST", sim_.url() + path, {std::string("Content-Type: ") + kFormContentType}, body};
    return transport_->Send(request);
  }

  SimProcess sim_;
  std::unique_ptr<CurlTransport> transport_;
  ProgramState state_;
  TempFolder folder_;
};

TEST_F(ProgramAgainstSimTest, LoginSearchesDetailsAndPlansOverOneConnection) {
  TransportResult login = Post(kLoginPath, LoginBody("12345678", "p&ss=w%rd+1"));
  ASSERT_EQ(login.code, 0) << login.error;
  ASSERT_EQ(login.status, 200);
  ASSERT_EQ(LoginSucceeded(Sjis(login.body)), 1);

  SettingsStore settings;
  settings.Set(keys::kStartDate, "2011/05/01");
  settings.Set(keys::kEndDate, "2011/05/07");
  settings.Set(keys::kMunicipalityCodes, "27128,27111,27203,27301");
  settings.Set(keys::kSaleOrder, "1,1,1,4;1,1,3,5;1,1,2,");
  settings.Set(keys::kRentOrder, "1,3,1,4;1,3,3,5;1,3,2,");
  std::vector<SearchForm> forms = BuildSearchForms(settings, SearchKind::kListings, true, true);
  ASSERT_EQ(forms.size(), 12u);  // two code groups, six forms each

  std::vector<std::string> rows;
  for (std::size_t i = 0; i < forms.size(); ++i) {
    TransportResult page = Post(kSearchPath, forms[i].body);
    ASSERT_EQ(page.code, 0) << page.error;
    ASSERT_EQ(page.status, 200);
    std::string path = folder_.Path("result_" + std::to_string(i) + ".html");
    ASSERT_TRUE(WriteFileAtomic(path, page.body));
    TextList pageRows;
    ParseResultPage(state_, path, pageRows, SearchKind::kListings);
    for (const std::string& row : pageRows.ToVector()) {
      if (!row.empty()) rows.push_back(row);
    }
  }
  ASSERT_GT(rows.size(), 30u);
  EXPECT_EQ(state_.errorList.Count(), 0);  // no page reached a hundred hits

  int details = 0, plans = 0;
  for (const std::string& row : rows) {
    TextList fields(row, "\t");
    std::string number = fields.Get(2);
    ASSERT_EQ(number.size(), 13u);
    if (details < 3) {
      TransportResult detail = Post(kDetailPath, DetailBody(number));
      ASSERT_EQ(detail.status, 200);
      std::string path = folder_.Path(number + ".html");
      ASSERT_TRUE(WriteFileAtomic(path, detail.body));
      ParseDetailPage(state_, path);
      std::string value = state_.detailStore.GetText(number);
      EXPECT_EQ(value.rfind(number + "\t", 0), 0u) << Utf8(value);
      ++details;
    }
    if (plans < 3 && std::string(fields.Get(0)) == SJIS("有")) {
      TransportResult pdf = Post(kFloorPlanPath, FloorPlanBody(number));
      ASSERT_EQ(pdf.status, 200);
      EXPECT_EQ(pdf.body.rfind("%PDF-", 0), 0u);
      ++plans;
    }
  }
  EXPECT_EQ(details, 3);
  EXPECT_EQ(plans, 3);
  EXPECT_EQ(transport_->ConnectionsMade(), 1);

  // A new session knows nothing of the old login: the service redirects it.
  transport_->Close();
  ASSERT_EQ(transport_->Open(kUserAgent), 0);
  TransportResult again = Post(kDetailPath, DetailBody(TextList(rows[0], "\t").Get(2)));
  EXPECT_EQ(again.status, 302);
  EXPECT_TRUE(again.body.empty());
}

TEST_F(ProgramAgainstSimTest, WrongPasswordPageIsNotALogin) {
  TransportResult login = Post(kLoginPath, LoginBody("12345678", "p&ss=w%rd+2"));
  ASSERT_EQ(login.code, 0);
  EXPECT_EQ(login.status, 200);
  EXPECT_EQ(LoginSucceeded(Sjis(login.body)), 0);
}

}  // namespace
}  // namespace kestrova::test
