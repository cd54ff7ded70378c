// The frame and bone trees a geometry builds, and the references their nodes and materials hold.
#include <gtest/gtest.h>

#include "graphics/OxBone.h"
#include "graphics/OxFrame.h"
#include "graphics/OxGraphics.h"
#include "graphics/OxMaterial.h"

namespace Orvex::Graphics::Test {
namespace {

template <typename Node>
Node* makeRoot();
template <>
OxFrame* makeRoot<OxFrame>() {
    return new OxFrame(nullptr, nullptr);
}
template <>
OxBone* makeRoot<OxBone>() {
    return new OxBone();
}

template <typename Node>
class NodeTreeTest : public ::testing::Test {};
using NodeTypes = ::testing::Types<OxFrame, OxBone>;
TYPED_TEST_SUITE(NodeTreeTest, NodeTypes);

// Children row up in the order they were added, a sibling joining at the row's end; the parent
// lets go of one reference of every child when it goes, so a child kept by the caller outlives it
// with the caller's reference alone, its own children still in place.
TYPED_TEST(NodeTreeTest, ChildrenRowUpInOrderAndGoWithTheirParent) {
    TypeParam* root = makeRoot<TypeParam>();
    EXPECT_EQ(nullptr, root->addSibling());
    auto* first = root->addChild();
    auto* second = first->addSibling();
    auto* third = root->addChild();
    auto* grandchild = second->addChild();
    EXPECT_EQ(first, root->getFirstChild());
    EXPECT_EQ(second, first->getNextSibling());
    EXPECT_EQ(third, second->getNextSibling());
    EXPECT_EQ(nullptr, third->getNextSibling());
    EXPECT_EQ(root, second->getParent());
    EXPECT_EQ(second, grandchild->getParent());
    EXPECT_EQ(grandchild, second->getFirstChild());
    EXPECT_EQ(1u, second->getRefCount());

    second->retain();
    root->release();
    EXPECT_EQ(1u, second->getRefCount());
    EXPECT_EQ(grandchild, second->getFirstChild());
    EXPECT_EQ(1u, grandchild->getRefCount());
    second->release();
}

TEST(MaterialTest, MaterialAndItsEffectKeepTheGraphicsObjectUntilTheMaterialGoes) {
    IOrvexGraphics* graphics = new OxGraphics();
    auto* material = new OxMaterial(graphics, nullptr);
    EXPECT_EQ(3u, graphics->getRefCount());
    EXPECT_EQ(nullptr, material->getObject());
    IOrvexDefaultMaterialEffect* effect = material->getEffect();
    effect->retain();
    material->release();
    EXPECT_EQ(2u, graphics->getRefCount());
    effect->release();
    EXPECT_EQ(1u, graphics->getRefCount());
    graphics->release();
}

}  // namespace
}  // namespace Orvex::Graphics::Test
