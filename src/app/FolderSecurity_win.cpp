#include "app/FolderSecurity.h"

#include <sddl.h>

UniqueLocalMemory ProtectedFolderDescriptor() {
  // D:P   a protected DACL (nothing inherited from the parent)
  // AI    its entries count as set up for inheritance
  // OICI  each entry applies to the folder, its subfolders and its files
  // FA    full access; 0x1200a9 read, list, read attributes, traverse and execute
  // SY, BA, BU: SYSTEM, the Administrators group, the Users group
  static const char kDescriptor[] =
      "D:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(kDescriptor, SDDL_REVISION_1, &descriptor,
                                                            nullptr)) {
    return UniqueLocalMemory();
  }
  return UniqueLocalMemory(descriptor);
}
