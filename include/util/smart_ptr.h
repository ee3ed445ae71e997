// Reference-counted shared ownership pointer with a polymorphic count block, so that an object
// held through a pointer to its base is still deleted as what it is.
#ifndef UTIL_SMART_PTR_H
#define UTIL_SMART_PTR_H

#include <cassert>
#include <exception>
#include <typeinfo>

class bad_weak_ptr : public std::exception {
 public:
  const char* what() const noexcept override { return "bad_weak_ptr"; }
};

/// Deletes the object it is given; the only deleter the program uses.
template <class T>
struct checked_deleter {
  void operator()(T* p) const {
    static_assert(sizeof(T) > 0, "checked_deleter needs a complete type");
    delete p;
  }
};

namespace impl {

/// Count block shared by every SharedPtr to one object. Counts are plain integers: the program
/// runs on one thread.
class SpCountedBase {
 public:
  SpCountedBase() = default;
  SpCountedBase(const SpCountedBase&) = delete;
  SpCountedBase& operator=(const SpCountedBase&) = delete;
  virtual ~SpCountedBase() {}

  /// Deletes the owned object.
  virtual void Dispose() = 0;
  /// Deletes the count block itself.
  virtual void Destroy() { delete this; }
  /// The deleter when `type` names its type, null otherwise.
  virtual void* GetDeleter(const std::type_info& type) = 0;

  void AddRef() {
    if (mUseCount == 0 && mWeakCount != 0) throw bad_weak_ptr();
    ++mUseCount;
    ++mWeakCount;
  }

  void Release() {
    if (mUseCount-- != 1) {
      --mWeakCount;
      return;
    }
    Dispose();
    if (mWeakCount-- == 1) Destroy();
  }

 private:
  int mUseCount = 1;
  int mWeakCount = 1;
};

template <class P, class D>
class SpCountedBaseImpl : public SpCountedBase {
 public:
  SpCountedBaseImpl(P p, D d) : mPtr(p), mDeleter(d) {}
  void Dispose() override { mDeleter(mPtr); }
  void* GetDeleter(const std::type_info& type) override {
    return type == typeid(D) ? &mDeleter : nullptr;
  }

 private:
  P mPtr;
  D mDeleter;
};

}  // namespace impl

template <class T>
class SharedPtr {
 public:
  SharedPtr() = default;

  /// Takes ownership of a newly created object; it is deleted as a Y, whatever T is.
  template <class Y>
  explicit SharedPtr(Y* p) : px(p) {
    try {
      pn = new impl::SpCountedBaseImpl<Y*, checked_deleter<Y>>(p, checked_deleter<Y>());
    } catch (...) {
      checked_deleter<Y>()(p);
      throw;
    }
  }

  SharedPtr(const SharedPtr& other) : px(other.px), pn(other.pn) {
    if (pn) pn->AddRef();
  }

  template <class Y>
  SharedPtr(const SharedPtr<Y>& other) : px(other.px), pn(other.pn) {
    if (pn) pn->AddRef();
  }

  SharedPtr(SharedPtr&& other) noexcept : px(other.px), pn(other.pn) {
    other.px = nullptr;
    other.pn = nullptr;
  }

  ~SharedPtr() {
    if (pn) pn->Release();
  }

  SharedPtr& operator=(const SharedPtr& other) {
    // Take the new reference before dropping the old one, so self-assignment is safe.
    if (other.pn) other.pn->AddRef();
    if (pn) pn->Release();
    px = other.px;
    pn = other.pn;
    return *this;
  }

  SharedPtr& operator=(SharedPtr&& other) noexcept {
    if (this != &other) {
      if (pn) pn->Release();
      px = other.px;
      pn = other.pn;
      other.px = nullptr;
      other.pn = nullptr;
    }
    return *this;
  }

  T& operator*() const {
    assert(px != 0);
    return *px;
  }
  T* operator->() const {
    assert(px != 0);
    return px;
  }
  T* get() const { return px; }
  explicit operator bool() const { return px != nullptr; }

 private:
  template <class Y>
  friend class SharedPtr;

  T* px = nullptr;
  impl::SpCountedBase* pn = nullptr;
};

#endif  // UTIL_SMART_PTR_H
