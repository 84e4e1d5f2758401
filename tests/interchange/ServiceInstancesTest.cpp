#include "interchange/device/ServiceInstances.h"

#include <gtest/gtest.h>

using namespace velumark;

TEST(ServiceInstances, AServiceSeenOnSeveralInterfacesAndProtocolsIsPresentOnce)
{
    ServiceInstances instances;
    const ServiceIdentity ann{QStringLiteral("Ann"), QStringLiteral("_http._tcp"), QStringLiteral("local")};
    const ServiceIdentity bob{QStringLiteral("Bob"), QStringLiteral("_http._tcp"), QStringLiteral("local")};
    EXPECT_TRUE(instances.add(ann, {2, 0}));
    EXPECT_FALSE(instances.add(ann, {2, 1}));
    EXPECT_FALSE(instances.add(ann, {3, 0}));
    EXPECT_FALSE(instances.add(ann, {2, 0})) << "a repeated report";
    EXPECT_TRUE(instances.add(bob, {2, 0}));
    EXPECT_EQ(instances.instancesOf(ann).size(), 3u);

    EXPECT_FALSE(instances.remove(ann, {2, 0}));
    EXPECT_FALSE(instances.remove(ann, {9, 9})) << "never reported";
    EXPECT_FALSE(instances.remove(ann, {2, 1}));
    EXPECT_TRUE(instances.remove(ann, {3, 0}));
    EXPECT_FALSE(instances.remove(ann, {3, 0}));
    EXPECT_TRUE(instances.instancesOf(ann).empty());
    EXPECT_EQ(instances.instancesOf(bob).size(), 1u);
}
