// The about box: its texts, its picture and its button.

#include <QLabel>
#include <QSet>

#include "commands/unitabout.h"
#include "dialoghelpers.h"

namespace {

TEST(AboutBox, TextsPictureAndOk)
{
    qm::TForm3 about;
    EXPECT_EQ(about.windowTitle(), "About Quillmoss the Virtual Reality Levels-Editor v1.2");
    EXPECT_EQ(about.size(), QSize(411, 162));
    EXPECT_EQ(about.Label1->text(), "Quillmoss the Virtual Reality Levels-Editor");
    EXPECT_EQ(about.Label2->text(), "Version 1.2");
    for (QLabel *notice : {about.Label3, about.Label4, about.Label5})
        EXPECT_FALSE(notice->text().isEmpty());
    EXPECT_EQ(about.Button1->text(), "Ok");

    const QImage picture = qm::aboutPicture();
    EXPECT_EQ(picture.size(), QSize(137, 97));
    EXPECT_EQ(about.Image1->size(), QSize(137, 97));
    QSet<QRgb> colours;
    for (int y = 0; y < picture.height(); y += 3)
        for (int x = 0; x < picture.width(); x += 3)
            colours.insert(picture.pixel(x, y));
    EXPECT_GT(colours.size(), 20); // a picture, not a blank

    qmtest::whenShown(about, [&about] { qmtest::click(about.Button1); });
    EXPECT_EQ(about.exec(), QDialog::Accepted);
}

} // namespace
