// CObject: the root of the framework's classes, and the small run-time class
// record that identifies a class by name. Objects are not copyable: a class
// that wants copies says so with its own CopyFrom.
#pragma once

class CArchive;

struct CRuntimeClass {
  const char* m_lpszClassName;
  const CRuntimeClass* m_pBaseClass;

  bool IsDerivedFrom(const CRuntimeClass* base) const;
};

class CObject {
 public:
  CObject() = default;
  CObject(const CObject&) = delete;
  CObject& operator=(const CObject&) = delete;
  virtual ~CObject() = default;

  virtual const CRuntimeClass* GetRuntimeClass() const;
  virtual void Serialize(CArchive& ar) {}

  bool IsKindOf(const CRuntimeClass* cls) const;

  static const CRuntimeClass classCObject;
};

// Gives a class its own run-time class record.
#define LW_DECLARE_RUNTIME_CLASS(name)                          \
 public:                                                        \
  static const CRuntimeClass class##name;                       \
  const CRuntimeClass* GetRuntimeClass() const override {       \
    return &class##name;                                        \
  }

#define LW_IMPLEMENT_RUNTIME_CLASS(name, base) \
  const CRuntimeClass name::class##name = {#name, &base::class##base};

#define RUNTIME_CLASS(name) (&name::class##name)
