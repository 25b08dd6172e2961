// Detection of the two virtual machines whose back doors answer from user mode.
#pragma once

// True when the VMware back door answers its magic port read. Elsewhere the privileged port
// read faults; the fault is caught.
bool InVMware();

// True when Virtual PC executes its private instruction. Elsewhere the instruction is
// invalid; the fault is caught and execution resumes after it.
bool InVirtualPC();

// "VMware" or "Virtual PC" where its back door answers; "" elsewhere.
const char* ProbedVirtualMachine();
