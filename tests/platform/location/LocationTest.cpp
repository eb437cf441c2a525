#include <cmath>

#include "support/PlatformTest.h"

#include "platform/location/Geocoder.h"
#include "platform/location/LocationManager.h"
#include "platform/location/RemoteNotifications.h"

using namespace location;

namespace {

class LocationTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        setLocationSimulation({});
        Geocoder::resetTable();
        push::RemoteNotifications::reset();
    }
    void TearDown() override {
        PlatformTest::TearDown();
        setLocationSimulation({});
        Geocoder::resetTable();
        push::RemoteNotifications::reset();
    }

    struct Outcome {
        int calls = 0;
        std::optional<Location> fix;
        std::optional<Error> error;
    };
    LocationManager::Completion recordInto(Outcome& o) {
        return [&o](std::optional<Location> fix, std::optional<Error> error) {
            ++o.calls;
            o.fix = fix;
            o.error = error;
        };
    }
};

}  // namespace

TEST_F(LocationTest, OneFixAtTheConfiguredPlace) {
    LocationSimulation sim;
    sim.coordinate = {39.9219, 116.4436};
    sim.fixDelay = 2;
    setLocationSimulation(sim);
    auto manager = LocationManager::make();
    Outcome o;
    manager->requestLocation(120, recordInto(o));
    advance(1.9);
    EXPECT_EQ(o.calls, 0);
    advance(0.2);
    ASSERT_EQ(o.calls, 1);
    ASSERT_TRUE(o.fix.has_value());
    EXPECT_DOUBLE_EQ(o.fix->coordinate.latitude, 39.9219);
    EXPECT_DOUBLE_EQ(o.fix->coordinate.longitude, 116.4436);
    EXPECT_FALSE(manager->isRequesting());
    EXPECT_TRUE(manager->lastLocation().has_value());
    advance(200);
    EXPECT_EQ(o.calls, 1) << "one answer per request";
}

TEST_F(LocationTest, FailureAndTimeOut) {
    auto manager = LocationManager::make();
    setLocationSimulation({.mode = LocationSimulation::Mode::Fail});
    EXPECT_FALSE(LocationManager::locationServicesEnabled());
    Outcome failed;
    manager->requestLocation(120, recordInto(failed));
    drain();
    ASSERT_EQ(failed.calls, 1);
    EXPECT_EQ(failed.error->code, ErrorCode::Denied);

    setLocationSimulation({.mode = LocationSimulation::Mode::NeverAnswer});
    Outcome silent;
    manager->requestLocation(120, recordInto(silent));
    advance(119);
    EXPECT_EQ(silent.calls, 0);
    advance(2);
    ASSERT_EQ(silent.calls, 1);
    EXPECT_FALSE(silent.fix.has_value());
    EXPECT_EQ(silent.error->code, ErrorCode::TimedOut);

    // A fix slower than the time-out is a time-out too; a newer request replaces an older one.
    setLocationSimulation({.fixDelay = 10});
    Outcome slow, replaced;
    manager->requestLocation(120, recordInto(replaced));
    manager->requestLocation(5, recordInto(slow));
    advance(20);
    EXPECT_EQ(replaced.calls, 0);
    ASSERT_EQ(slow.calls, 1);
    EXPECT_EQ(slow.error->code, ErrorCode::TimedOut);
}

TEST_F(LocationTest, ReverseGeocodingFromTheTable) {
    Geocoder::setTable({{{39.90, 116.40}, 10000, {"北京市", "北京市", "东城区东长安街", {39.90, 116.40}}},
                        {{39.95, 116.40}, 10000, {"北京市", "北京市", "西城区德胜门", {39.95, 116.40}}}});
    auto geocoder = Geocoder::make();
    std::vector<Placemark> marks;
    std::optional<Error> error;
    bool answered = false;
    auto completion = [&](std::vector<Placemark> m, std::optional<Error> e) {
        answered = true;
        marks = std::move(m);
        error = e;
    };
    geocoder->reverseGeocodeLocation(Location{{39.94, 116.41}}, completion);
    ASSERT_TRUE(runUntil([&] { return answered; }));
    ASSERT_EQ(marks.size(), 1u);
    EXPECT_EQ(marks[0].administrativeArea, "北京市");
    EXPECT_EQ(marks[0].name, "西城区德胜门") << "the nearest entry";

    for (Coordinate far : {Coordinate{22.54, 114.06}, Coordinate{NAN, 116.4}, Coordinate{95, 0}}) {
        answered = false;
        Geocoder::make()->reverseGeocodeLocation(Location{far}, completion);
        ASSERT_TRUE(runUntil([&] { return answered; }));
        EXPECT_TRUE(marks.empty());
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(error->code, ErrorCode::GeocodeFailed);
    }
}

TEST_F(LocationTest, PushRegistrationAnswersTheFixedToken) {
    std::optional<std::string> token;
    bool answered = false;
    push::RemoteNotifications::registerForRemoteNotificationTypes(
        push::Badge | push::Sound | push::Alert, [&](std::optional<std::string> t, std::optional<Error>) {
            answered = true;
            token = t;
        });
    EXPECT_FALSE(answered) << "the answer comes on the main loop";
    ASSERT_TRUE(runUntil([&] { return answered; }));
    ASSERT_TRUE(token.has_value());
    EXPECT_EQ(token->size(), 32u);
    EXPECT_EQ(*token, push::RemoteNotifications::deviceToken());
    EXPECT_EQ(push::RemoteNotifications::deviceTokenHex().size(), 64u);
    EXPECT_EQ(push::RemoteNotifications::registeredTypes(), unsigned(push::Badge | push::Sound | push::Alert));

    push::RemoteNotifications::reset();
    push::RemoteNotifications::setRegistrationFails(true);
    std::optional<Error> error;
    answered = false;
    push::RemoteNotifications::registerForRemoteNotificationTypes(push::Alert, [&](auto t, auto e) {
        answered = true;
        token = t;
        error = e;
    });
    ASSERT_TRUE(runUntil([&] { return answered; }));
    EXPECT_FALSE(token.has_value());
    EXPECT_TRUE(error.has_value());
    EXPECT_FALSE(push::RemoteNotifications::isRegistered());
}
