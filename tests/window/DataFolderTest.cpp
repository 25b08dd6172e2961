// The logo folder of the build tree and of an installation, found from the program's folder.
#include "ui/DataFolder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

namespace {

TEST(DataFolder, LogoFolderBesideTheProgramElseUnderTheInstalledShareFolder) {
  QTemporaryDir root;
  ASSERT_TRUE(root.isValid());
  const QString tree = root.path() + "/build", prefix = root.path() + "/prefix";
  ASSERT_TRUE(QDir().mkpath(tree + "/Logo"));
  ASSERT_TRUE(QDir().mkpath(prefix + "/bin"));
  ASSERT_TRUE(QDir().mkpath(prefix + "/share/lumarian/Logo"));

  EXPECT_EQ(LogoFolder(tree), tree + "/Logo/");
  EXPECT_EQ(LogoFolder(prefix + "/bin"), prefix + "/share/lumarian/Logo/");
  // A "Logo" that is a file is not the folder.
  QFile stray(prefix + "/bin/Logo");
  ASSERT_TRUE(stray.open(QIODevice::WriteOnly));
  stray.close();
  EXPECT_EQ(LogoFolder(prefix + "/bin"), prefix + "/share/lumarian/Logo/");
}

}  // namespace
