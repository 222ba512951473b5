#include <gtest/gtest.h>

#include "RulesBoard.h"

namespace {

using namespace RulesBoard;

// The preview of a shot is what the shot then does: the same exchange, the
// same hit points left, the same boost; and it exists only where a click
// would fire.
TEST(ShotPreviewTest, ThePreviewIsWhatTheShotDoes) {
    CBoard     b;
    UnitTraits general;
    general.general = true;
    UnitTraits friendUnit;
    friendUnit.bonusAttack    = 3;
    friendUnit.bonusFirerange = 1;
    UnitTraits far;
    far.fireMax       = 1;
    const int shooter = b.AddUnit(general, 1, 5, 5);
    const int mate    = b.AddUnit(friendUnit, 1, 5, 7);
    const int enemy   = b.AddUnit(far, 2, 7, 5);
    b.AddUnit(UnitTraits(), 2, 20, 20);

    EXPECT_EQ(b.rules->PreviewShot(7, 5).kind, CShotPreview::none) << "nothing selected";
    b.Click(5, 5);
    EXPECT_EQ(b.rules->PreviewShot(7, 5).kind, CShotPreview::none) << "move mode";
    b.Space();
    EXPECT_EQ(b.rules->PreviewShot(5, 5).kind, CShotPreview::none) << "its own tile finishes the unit";
    EXPECT_EQ(b.rules->PreviewShot(6, 5).kind, CShotPreview::none) << "no unit there";
    EXPECT_EQ(b.rules->PreviewShot(20, 20).kind, CShotPreview::none) << "outside the fire area";

    const CShotPreview boost = b.rules->PreviewShot(5, 7);
    EXPECT_EQ(boost.kind, CShotPreview::boost);
    EXPECT_EQ(boost.target, mate);
    EXPECT_EQ(boost.boostAttack, 3);
    EXPECT_EQ(boost.boostFirerange, 1);

    const CShotPreview shot = b.rules->PreviewShot(7, 5);
    ASSERT_EQ(shot.kind, CShotPreview::attack);
    EXPECT_EQ(shot.shooter, shooter);
    EXPECT_EQ(shot.target, enemy);
    EXPECT_EQ(shot.exchange.damageToAttacker, 0) << "the enemy's fire does not reach two tiles";
    EXPECT_GE(shot.exchange.damageToDefender, 50);
    b.Click(7, 5);
    EXPECT_EQ(b.Unit(enemy).hitpoints, shot.targetHitpointsAfter);
    EXPECT_EQ(b.Unit(shooter).hitpoints, shot.shooterHitpointsAfter);
    EXPECT_EQ(b.rules->PreviewShot(7, 5).kind, CShotPreview::none) << "the unit's action is over";
}

} // namespace
