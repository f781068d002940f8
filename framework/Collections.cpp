// The pointer array's storage; the typed arrays forward to it.
#include "framework/Collections.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "framework/Exceptions.h"

CPtrArray::~CPtrArray() { free(m_pData); }

void CPtrArray::Grow(int minCapacity) {
  if (minCapacity <= m_nMaxSize) return;
  if (minCapacity < 0 || minCapacity > 0x0FFFFFFF) AfxThrowMemoryException();
  int growBy = m_nGrowBy;
  if (growBy <= 0) {
    growBy = m_nSize / 8;
    if (growBy < 4) growBy = 4;
    if (growBy > 1024) growBy = 1024;
  }
  int capacity = m_nMaxSize + growBy;
  if (capacity < minCapacity) capacity = minCapacity;
  void** data = static_cast<void**>(realloc(m_pData, sizeof(void*) * capacity));
  if (data == nullptr) AfxThrowMemoryException();
  m_pData = data;
  m_nMaxSize = capacity;
}

void CPtrArray::SetSize(int newSize, int growBy) {
  if (growBy >= 0) m_nGrowBy = growBy;
  if (newSize < 0) newSize = 0;
  Grow(newSize);
  if (newSize > m_nSize) memset(m_pData + m_nSize, 0, sizeof(void*) * (newSize - m_nSize));
  m_nSize = newSize;
}

void CPtrArray::FreeExtra() {
  if (m_nSize == m_nMaxSize) return;
  if (m_nSize == 0) {
    free(m_pData);
    m_pData = nullptr;
  } else {
    void** data = static_cast<void**>(realloc(m_pData, sizeof(void*) * m_nSize));
    if (data == nullptr) return;
    m_pData = data;
  }
  m_nMaxSize = m_nSize;
}

int CPtrArray::Add(void* element) {
  Grow(m_nSize + 1);
  m_pData[m_nSize] = element;
  return m_nSize++;
}

void CPtrArray::InsertAt(int index, void* element, int count) {
  if (count <= 0) return;
  if (index < 0) index = 0;
  if (index >= m_nSize) {
    SetSize(index + count);
    for (int i = 0; i < count; ++i) m_pData[index + i] = element;
    return;
  }
  Grow(m_nSize + count);
  memmove(m_pData + index + count, m_pData + index, sizeof(void*) * (m_nSize - index));
  for (int i = 0; i < count; ++i) m_pData[index + i] = element;
  m_nSize += count;
}

void CPtrArray::RemoveAt(int index, int count) {
  if (index < 0 || index >= m_nSize || count <= 0) return;
  if (count > m_nSize - index) count = m_nSize - index;
  memmove(m_pData + index, m_pData + index + count,
          sizeof(void*) * (m_nSize - index - count));
  m_nSize -= count;
}

void CPtrArray::RemoveAll() {
  free(m_pData);
  m_pData = nullptr;
  m_nSize = 0;
  m_nMaxSize = 0;
}

int CPtrArray::Append(const CPtrArray& other) {
  int first = m_nSize;
  if (&other == this) {
    CPtrArray copy;
    copy.Copy(other);
    return Append(copy);
  }
  Grow(m_nSize + other.m_nSize);
  if (other.m_nSize != 0) memcpy(m_pData + m_nSize, other.m_pData, sizeof(void*) * other.m_nSize);
  m_nSize += other.m_nSize;
  return first;
}

void CPtrArray::Copy(const CPtrArray& other) {
  if (&other == this) return;
  m_nSize = 0;
  Append(other);
}

CStringArray::~CStringArray() { RemoveAll(); }

int CStringArray::Add(const CString& text) {
  CString* copy = new (std::nothrow) CString(text);
  if (copy == nullptr) AfxThrowMemoryException();
  try {
    return m_items.Add(copy);
  } catch (...) {
    delete copy;
    throw;
  }
}

void CStringArray::InsertAt(int index, const CString& text) {
  CString* copy = new (std::nothrow) CString(text);
  if (copy == nullptr) AfxThrowMemoryException();
  try {
    m_items.InsertAt(index, copy);
  } catch (...) {
    delete copy;
    throw;
  }
}

void CStringArray::RemoveAt(int index, int count) {
  if (index < 0 || index >= m_items.GetSize() || count <= 0) return;
  if (count > m_items.GetSize() - index) count = m_items.GetSize() - index;
  for (int i = 0; i < count; ++i) delete static_cast<CString*>(m_items.GetAt(index + i));
  m_items.RemoveAt(index, count);
}

void CStringArray::RemoveAll() {
  for (int i = 0; i < m_items.GetSize(); ++i) delete static_cast<CString*>(m_items.GetAt(i));
  m_items.RemoveAll();
}
