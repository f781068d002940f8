// CObject: the root of the framework's classes. Objects are not copyable: a
// class that wants copies says so with its own CopyFrom. A class's kind is
// asked with dynamic_cast.
#pragma once

class CObject {
 public:
  CObject() = default;
  CObject(const CObject&) = delete;
  CObject& operator=(const CObject&) = delete;
  virtual ~CObject() = default;
};
