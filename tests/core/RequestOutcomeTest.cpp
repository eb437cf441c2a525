#include <gtest/gtest.h>

#include "core/RequestOutcome.h"

using nlohmann::json;

TEST(RequestOutcomeTest, RepliesAreAnsweredOnlyForRescode200) {
    auto answered = RequestOutcome::of({{"rescode", "200"}, {"resdes", "成功"}}, std::nullopt);
    EXPECT_TRUE(answered.answered());
    EXPECT_EQ(answered.rescode, "200");
    EXPECT_EQ(answered.resdes, "成功");
    EXPECT_FALSE(answered.error);
    EXPECT_TRUE(RequestOutcome::of({{"rescode", 200}}, std::nullopt).answered());

    // Other codes, and codes that only look alike.
    for (const json& rescode : {json("500"), json("203"), json(" 200"), json("2000"), json(201), json(200.5)}) {
        auto outcome = RequestOutcome::of({{"rescode", rescode}, {"resdes", "案件不存在"}}, std::nullopt);
        EXPECT_TRUE(outcome.refused()) << rescode.dump();
        EXPECT_EQ(outcome.resdes, "案件不存在");
        EXPECT_FALSE(outcome.error);
    }
    EXPECT_EQ(RequestOutcome::of({{"rescode", "500"}}, std::nullopt).rescode, "500");
}

TEST(RequestOutcomeTest, NoUsableEnvelopeIsABrokenReplyWhoseTextIsNotKept) {
    for (const json& reply : {json::object(), json({{"resdes", "成功"}}), json({{"rescode", nullptr}, {"resdes", "报案成功"}}),
                              json({{"rescode", json::array({"200"})}}), json({{"rescode", true}, {"resdes", "评价成功"}}),
                              json({{"rescode", {{"code", "200"}}}}), json::array({{{"rescode", "200"}}}), json(),
                              json("200")}) {
        auto outcome = RequestOutcome::of(reply, std::nullopt);
        EXPECT_TRUE(outcome.failed()) << reply.dump();
        ASSERT_TRUE(outcome.error) << reply.dump();
        EXPECT_EQ(outcome.error->kind, RequestError::Kind::NotJSON);
        EXPECT_FALSE(outcome.rescode) << reply.dump();
        EXPECT_FALSE(outcome.resdes) << reply.dump();
        EXPECT_EQ(outcome.describe(), "failed (broken reply: no rescode that is text or a number)");
    }
}

TEST(RequestOutcomeTest, TransportErrorWinsOverAnyReply) {
    RequestError error{RequestError::Kind::HTTPStatus, 502, "HTTP 502"};
    auto outcome = RequestOutcome::of({{"rescode", "200"}}, error);
    EXPECT_TRUE(outcome.failed());
    ASSERT_TRUE(outcome.error);
    EXPECT_EQ(outcome.error->status, 502);
    EXPECT_FALSE(outcome.rescode);
    EXPECT_FALSE(outcome.resdes);
}

TEST(RequestOutcomeTest, DescribedForTheLog) {
    EXPECT_EQ(RequestOutcome::answeredWith("成功").describe(), "answered \"200\"");
    EXPECT_EQ(RequestOutcome::refusedWith("500", "系统繁忙").describe(), "refused \"500\" (系统繁忙)");
    EXPECT_EQ(RequestOutcome::refusedWith("300", "").describe(), "refused \"300\"");
    EXPECT_EQ(RequestOutcome::failedWith({RequestError::Kind::TimedOut, 0, "after 30 s"}).describe(),
              "failed (timed out: after 30 s)");
    EXPECT_EQ(RequestOutcome::failedWith({RequestError::Kind::ConnectionFailed, 0, ""}).describe(),
              "failed (connection failed)");
    EXPECT_STREQ(describe(RequestOutcome::Kind::Refused), "refused");
}
