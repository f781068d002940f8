// The framework's collections: growable arrays of object pointers, of plain
// pointers and of strings. Arrays of pointers never own what they point to;
// an owning collection derives from one and deletes its elements itself.
#pragma once

#include "framework/Object.h"
#include "framework/Strings.h"

// The storage shared by the pointer arrays.
class CPtrArray : public CObject {
 public:
  CPtrArray() = default;
  ~CPtrArray() override;

  int GetSize() const { return m_nSize; }
  int GetCount() const { return m_nSize; }
  bool IsEmpty() const { return m_nSize == 0; }
  int GetUpperBound() const { return m_nSize - 1; }
  void SetSize(int newSize, int growBy = -1);
  void FreeExtra();

  void* GetAt(int index) const { return m_pData[index]; }
  void SetAt(int index, void* element) { m_pData[index] = element; }
  void*& ElementAt(int index) { return m_pData[index]; }
  void* operator[](int index) const { return m_pData[index]; }
  void*& operator[](int index) { return m_pData[index]; }
  void** GetData() { return m_pData; }
  void* const* GetData() const { return m_pData; }

  int Add(void* element);
  void InsertAt(int index, void* element, int count = 1);
  void RemoveAt(int index, int count = 1);
  void RemoveAll();
  int Append(const CPtrArray& other);
  void Copy(const CPtrArray& other);

 private:
  void Grow(int minCapacity);

  void** m_pData = nullptr;
  int m_nSize = 0;
  int m_nMaxSize = 0;
  int m_nGrowBy = 0;
};

class CObArray : public CObject {
 public:
  int GetSize() const { return m_items.GetSize(); }
  int GetCount() const { return m_items.GetSize(); }
  bool IsEmpty() const { return m_items.IsEmpty(); }
  int GetUpperBound() const { return m_items.GetUpperBound(); }
  void SetSize(int newSize, int growBy = -1) { m_items.SetSize(newSize, growBy); }
  void FreeExtra() { m_items.FreeExtra(); }

  CObject* GetAt(int index) const { return static_cast<CObject*>(m_items.GetAt(index)); }
  void SetAt(int index, CObject* element) { m_items.SetAt(index, element); }
  CObject*& ElementAt(int index) {
    return reinterpret_cast<CObject*&>(m_items.ElementAt(index));
  }
  CObject* operator[](int index) const { return GetAt(index); }
  CObject*& operator[](int index) { return ElementAt(index); }
  CObject** GetData() { return reinterpret_cast<CObject**>(m_items.GetData()); }

  int Add(CObject* element) { return m_items.Add(element); }
  void InsertAt(int index, CObject* element, int count = 1) {
    m_items.InsertAt(index, element, count);
  }
  void RemoveAt(int index, int count = 1) { m_items.RemoveAt(index, count); }
  void RemoveAll() { m_items.RemoveAll(); }
  int Append(const CObArray& other) { return m_items.Append(other.m_items); }
  void Copy(const CObArray& other) { m_items.Copy(other.m_items); }

 private:
  CPtrArray m_items;
};

class CStringArray : public CObject {
 public:
  CStringArray() = default;
  ~CStringArray() override;

  int GetSize() const { return m_items.GetSize(); }
  int GetCount() const { return m_items.GetSize(); }
  bool IsEmpty() const { return m_items.IsEmpty(); }
  const CString& GetAt(int index) const { return *static_cast<CString*>(m_items.GetAt(index)); }
  CString& ElementAt(int index) { return *static_cast<CString*>(m_items.GetAt(index)); }
  const CString& operator[](int index) const { return GetAt(index); }
  CString& operator[](int index) { return ElementAt(index); }
  void SetAt(int index, const CString& text) { ElementAt(index) = text; }

  int Add(const CString& text);
  void InsertAt(int index, const CString& text);
  void RemoveAt(int index, int count = 1);
  void RemoveAll();

 private:
  CPtrArray m_items;  // of heap CStrings
};
