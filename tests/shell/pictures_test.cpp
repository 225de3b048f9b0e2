#include "shell/pictures.h"

#include <QImage>

#include <gtest/gtest.h>

#include <vector>

namespace qm::test {
namespace {

TEST(pictures, SizesAreThoseOfTheMenuPictureBox) {
    EXPECT_EQ(start_picture().size(), QSize(225, 161));
    EXPECT_EQ(menu_picture(101).size(), QSize(222, 162));
    EXPECT_EQ(menu_picture(102).size(), QSize(222, 162));
    EXPECT_EQ(menu_picture(103).size(), QSize(222, 162));
    EXPECT_EQ(menu_picture(104).size(), QSize(222, 160));
}

TEST(pictures, EachPictureIsDistinctAndOthersAreNull) {
    std::vector<QImage> images{start_picture().toImage()};
    for (int number = 101; number <= 104; ++number)
        images.push_back(menu_picture(number).toImage());
    for (std::size_t i = 0; i < images.size(); ++i)
        for (std::size_t j = i + 1; j < images.size(); ++j)
            EXPECT_NE(images[i], images[j]) << i << " and " << j;
    EXPECT_TRUE(menu_picture(100).isNull());
    EXPECT_TRUE(menu_picture(105).isNull());
}

} // namespace
} // namespace qm::test
