// SharedPtr: when owned objects die, deletion as the created type, copies, moves and empty
// pointers.
#include "util/smart_ptr.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using Log = std::vector<std::string>;

// Writes "~name" to the log when destroyed, so that tests can see when and how often.
struct Tracked {
  Tracked(std::string name, Log* log) : mName(std::move(name)), mLog(log) {}
  Tracked(const Tracked&) = delete;
  Tracked& operator=(const Tracked&) = delete;
  ~Tracked() { mLog->push_back("~" + mName); }

  std::string mName;
  Log* mLog;
};

// Deliberately without a virtual destructor: deleting a Derived through a Base* would skip
// ~Derived, so the log shows whether the pointer remembered the created type.
struct Base {
  explicit Base(Log* log) : mBaseLog(log) {}
  ~Base() { mBaseLog->push_back("~Base"); }
  Log* mBaseLog;
};

struct Derived : Base {
  explicit Derived(Log* log) : Base(log) {}
  ~Derived() { mBaseLog->push_back("~Derived"); }
};

TEST(SharedPtr, LastOwnerDeletesTheObject) {
  Log log;
  {
    SharedPtr<Tracked> outer;
    {
      SharedPtr<Tracked> first(new Tracked("a", &log));
      SharedPtr<Tracked> copy(first);
      outer = copy;
      EXPECT_EQ(first.get(), outer.get());
      EXPECT_EQ(copy.get(), outer.get());
    }
    EXPECT_EQ(log, Log{});
    EXPECT_EQ(outer->mName, "a");
    EXPECT_EQ((*outer).mName, "a");
  }
  EXPECT_EQ(log, Log{"~a"});
}

TEST(SharedPtr, AssignmentReleasesTheOldObjectAtOnce) {
  Log log;
  {
    SharedPtr<Tracked> p(new Tracked("a", &log));
    {
      SharedPtr<Tracked> q(new Tracked("b", &log));
      p = q;
      EXPECT_EQ(log, Log{"~a"});
    }
    EXPECT_EQ(log, Log{"~a"});
    EXPECT_EQ(p->mName, "b");
  }
  EXPECT_EQ(log, (Log{"~a", "~b"}));
}

TEST(SharedPtr, AssigningTheSameObjectKeepsItAlive) {
  Log log;
  {
    SharedPtr<Tracked> p(new Tracked("a", &log));
    SharedPtr<Tracked>& alias = p;
    p = alias;
    EXPECT_EQ(log, Log{});
    EXPECT_EQ(p->mName, "a");

    SharedPtr<Tracked> q(p);
    q = p;
    p = q;
    EXPECT_EQ(log, Log{});
    EXPECT_EQ(q->mName, "a");
  }
  EXPECT_EQ(log, Log{"~a"});
}

TEST(SharedPtr, ObjectsDieInTheOrderTheirLastOwnersGo) {
  Log log;
  {
    std::vector<SharedPtr<Tracked>> holders;
    holders.push_back(SharedPtr<Tracked>(new Tracked("a", &log)));
    holders.push_back(SharedPtr<Tracked>(new Tracked("b", &log)));
    holders.push_back(holders[0]);
    holders.erase(holders.begin());  // "a" still has an owner at the back
    EXPECT_EQ(log, Log{});
    holders.pop_back();
    EXPECT_EQ(log, Log{"~a"});
  }
  EXPECT_EQ(log, (Log{"~a", "~b"}));
}

TEST(SharedPtr, DeletesADerivedObjectAsItsOwnType) {
  Log log;
  { SharedPtr<Base> p(new Derived(&log)); }
  EXPECT_EQ(log, (Log{"~Derived", "~Base"}));

  log.clear();
  {
    SharedPtr<Base> base;
    {
      SharedPtr<Derived> derived(new Derived(&log));
      base = SharedPtr<Base>(derived);
      EXPECT_EQ(base.get(), derived.get());
    }
    EXPECT_EQ(log, Log{});
  }
  EXPECT_EQ(log, (Log{"~Derived", "~Base"}));
}

TEST(SharedPtr, MovingHandsOverOwnership) {
  Log log;
  {
    SharedPtr<Tracked> source(new Tracked("a", &log));
    Tracked* object = source.get();
    SharedPtr<Tracked> target(std::move(source));
    EXPECT_FALSE(source);  // NOLINT(bugprone-use-after-move): moved-from is defined as empty
    EXPECT_EQ(target.get(), object);

    SharedPtr<Tracked> other(new Tracked("b", &log));
    other = std::move(target);
    EXPECT_EQ(log, Log{"~b"});
    EXPECT_FALSE(target);  // NOLINT(bugprone-use-after-move)
    EXPECT_EQ(other.get(), object);
  }
  EXPECT_EQ(log, (Log{"~b", "~a"}));
}

TEST(SharedPtr, EmptyPointers) {
  Log log;
  SharedPtr<Tracked> empty;
  EXPECT_FALSE(empty);
  EXPECT_EQ(empty.get(), nullptr);

  SharedPtr<Tracked> copy(empty);
  EXPECT_FALSE(copy);

  SharedPtr<Tracked> full(new Tracked("a", &log));
  EXPECT_TRUE(full);
  full = empty;
  EXPECT_FALSE(full);
  EXPECT_EQ(log, Log{"~a"});

  SharedPtr<Base> converted{SharedPtr<Derived>()};
  EXPECT_FALSE(converted);
}

using SharedPtrDeathTest = ::testing::Test;

TEST_F(SharedPtrDeathTest, DereferencingAnEmptyPointerAsserts) {
#ifdef NDEBUG
  GTEST_SKIP() << "assertions are compiled out in this build";
#endif
  SharedPtr<Tracked> empty;
  EXPECT_DEATH((void)*empty, "px != 0");
  EXPECT_DEATH((void)empty->mName, "px != 0");
}

}  // namespace
