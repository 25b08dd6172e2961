#include "engine/decode/FeatureFlags.h"

#include <optional>

#include "engine/store/Leaves.h"

// The captions of the four registers the Feature Flags page has always shown are its own, as
// they always were, except that a bit it called "Reserved" and that is defined now is named.
const std::array<tFeatureRegister, kFeatureRegisterCount> kFeatureRegisters{{
    // leaf 1 EDX
    {kLeafFeatures,
     0,
     &tCPUIDResult::EDX,
     "1 EDX",
     {{
         {"fpu", "Floating-point Unit"},              // 0
         {"vme", "Virtual Mode Extensions"},          // 1
         {"de", "Debugging Extensions"},              // 2
         {"pse", "Pase Size Extensions"},             // 3
         {"tsc", "Time Stamp Counter"},               // 4
         {"msr", "Model-specific Registers"},         // 5
         {"pae", "Page Adress Extensions"},           // 6
         {"mce", "Machine Check Extensions"},         // 7
         {"cx8", "CMPXCHG8B Instruction"},            // 8
         {"apic", "MP Support (APIC Presented)"},     // 9
         {"", "Reserved"},                            // 10
         {"sep", "SYSENTER/SYSEXIT"},                 // 11
         {"mtrr", "Mem. Type Range Registers"},       // 12
         {"pge", "Global Paging Extensions"},         // 13
         {"mca", "Memory Check Architecture"},        // 14
         {"cmov", "Conditional move Instruction"},    // 15
         {"pat", "Page Attribute Table"},             // 16
         {"pse36", "Page Size Extensions (36 bit)"},  // 17
         {"pn", "Processor Serial Number"},           // 18
         {"clflush", "CLFLUSH Instruction"},          // 19
         {"", "Reserved"},                            // 20
         {"dts", "Debug Trace Store"},                // 21
         {"acpi", "Thermal Control MSRs"},            // 22
         {"mmx", "MMX Instructions"},                 // 23
         {"fxsr", "Fast Save and Restore"},           // 24
         {"sse", "SSE Instructions"},                 // 25
         {"sse2", "SSE2 Instructions"},               // 26
         {"ss", "Self Snoop"},                        // 27
         {"ht", "Hyper Threading technology"},        // 28
         {"tm", "Thermal Monitor"},                   // 29
         {"ia64", "IA64 Compatibility"},              // 30
         {"pbe", "Pending Break Event"},              // 31
     }}},
    // leaf 1 ECX
    {kLeafFeatures,
     0,
     &tCPUIDResult::ECX,
     "1 ECX",
     {{
         {"pni", "SSE3 Instructions"},                  // 0
         {"pclmulqdq", "PCLMULQDQ Instruction"},        // 1
         {"dtes64", "64-bit Debug Store"},              // 2
         {"monitor", "MONITOR/MWAIT"},                  // 3
         {"ds_cpl", "CPL-qualified Debug Store"},       // 4
         {"vmx", "Virtual Machine Extensions"},         // 5
         {"smx", "Safer Mode Extensions"},              // 6
         {"est", "Enhanced SpeedStep"},                 // 7
         {"tm2", "Thermal Control 2 MSRs"},             // 8
         {"ssse3", "SSSE3 Instructions"},               // 9
         {"cid", "Context ID"},                         // 10
         {"sdbg", "Silicon Debug Interface"},           // 11
         {"fma", "FMA3 Instructions"},                  // 12
         {"cx16", "CMPXCHG16B Instruction"},            // 13
         {"xtpr", "xTPR Update Control"},               // 14
         {"pdcm", "Perf./Debug Capability MSR"},        // 15
         {"", "Reserved"},                              // 16
         {"pcid", "Process-context Identifiers"},       // 17
         {"dca", "Direct Cache Access"},                // 18
         {"sse4_1", "SSE4.1 Instructions"},             // 19
         {"sse4_2", "SSE4.2 Instructions"},             // 20
         {"x2apic", "x2APIC"},                          // 21
         {"movbe", "MOVBE Instruction"},                // 22
         {"popcnt", "POPCNT Instruction"},              // 23
         {"tsc_deadline_timer", "TSC-Deadline Timer"},  // 24
         {"aes", "AES Instructions"},                   // 25
         {"xsave", "XSAVE/XRSTOR Instructions"},        // 26
         {"osxsave", "XSAVE Enabled by the OS"},        // 27
         {"avx", "AVX Instructions"},                   // 28
         {"f16c", "F16C Instructions"},                 // 29
         {"rdrand", "RDRAND Instruction"},              // 30
         {"hypervisor", "Hypervisor Present"},          // 31
     }}},
    // leaf 7.0 EBX
    {kLeafStructuredFeatures,
     0,
     &tCPUIDResult::EBX,
     "7.0 EBX",
     {{
         {"fsgsbase", "RD/WR FS/GS Base"},                    // 0
         {"tsc_adjust", "TSC_ADJUST MSR"},                    // 1
         {"sgx", "Software Guard Extensions"},                // 2
         {"bmi1", "BMI1 Instructions"},                       // 3
         {"hle", "Hardware Lock Elision"},                    // 4
         {"avx2", "AVX2 Instructions"},                       // 5
         {"fdp_excptn_only", "FPU Data Pointer on Except."},  // 6
         {"smep", "Supervisor Exec. Prevention"},             // 7
         {"bmi2", "BMI2 Instructions"},                       // 8
         {"erms", "Enh. REP MOVSB/STOSB"},                    // 9
         {"invpcid", "INVPCID Instruction"},                  // 10
         {"rtm", "Restricted Trans. Memory"},                 // 11
         {"cqm", "Resource Monitoring"},                      // 12
         {"zero_fcs_fds", "FPU CS and DS Deprecated"},        // 13
         {"mpx", "Memory Protection Ext."},                   // 14
         {"rdt_a", "Resource Allocation"},                    // 15
         {"avx512f", "AVX-512 Foundation"},                   // 16
         {"avx512dq", "AVX-512 DQ Instructions"},             // 17
         {"rdseed", "RDSEED Instruction"},                    // 18
         {"adx", "ADCX/ADOX Instructions"},                   // 19
         {"smap", "Supervisor Access Prevent."},              // 20
         {"avx512ifma", "AVX-512 IFMA Instructions"},         // 21
         {"", "Reserved"},                                    // 22
         {"clflushopt", "CLFLUSHOPT Instruction"},            // 23
         {"clwb", "CLWB Instruction"},                        // 24
         {"intel_pt", "Processor Trace"},                     // 25
         {"avx512pf", "AVX-512 Prefetch"},                    // 26
         {"avx512er", "AVX-512 Exp./Reciprocal"},             // 27
         {"avx512cd", "AVX-512 Conflict Detection"},          // 28
         {"sha_ni", "SHA Instructions"},                      // 29
         {"avx512bw", "AVX-512 BW Instructions"},             // 30
         {"avx512vl", "AVX-512 VL Instructions"},             // 31
     }}},
    // leaf 7.0 ECX
    {kLeafStructuredFeatures,
     0,
     &tCPUIDResult::ECX,
     "7.0 ECX",
     {{
         {"prefetchwt1", "PREFETCHWT1 Instruction"},        // 0
         {"avx512vbmi", "AVX-512 VBMI Instructions"},       // 1
         {"umip", "User-mode Instr. Prevention"},           // 2
         {"pku", "Protection Keys (User)"},                 // 3
         {"ospke", "Protection Keys Enabled"},              // 4
         {"waitpkg", "UMONITOR/UMWAIT/TPAUSE"},             // 5
         {"avx512_vbmi2", "AVX-512 VBMI2 Instructions"},    // 6
         {"shstk", "CET Shadow Stack"},                     // 7
         {"gfni", "Galois Field Instructions"},             // 8
         {"vaes", "Vector AES Instructions"},               // 9
         {"vpclmulqdq", "Vector PCLMULQDQ"},                // 10
         {"avx512_vnni", "AVX-512 VNNI Instructions"},      // 11
         {"avx512_bitalg", "AVX-512 BITALG Instructions"},  // 12
         {"tme", "Total Memory Encryption"},                // 13
         {"avx512_vpopcntdq", "AVX-512 VPOPCNTDQ"},         // 14
         {"", "Reserved"},                                  // 15
         {"la57", "5-level Paging"},                        // 16
         {"", "MPX Address Width (bit 0)"},                 // 17
         {"", "MPX Address Width (bit 1)"},                 // 18
         {"", "MPX Address Width (bit 2)"},                 // 19
         {"", "MPX Address Width (bit 3)"},                 // 20
         {"", "MPX Address Width (bit 4)"},                 // 21
         {"rdpid", "RDPID Instruction"},                    // 22
         {"kl", "Key Locker"},                              // 23
         {"bus_lock_detect", "Bus Lock Debug Exception"},   // 24
         {"cldemote", "CLDEMOTE Instruction"},              // 25
         {"", "Reserved"},                                  // 26
         {"movdiri", "MOVDIRI Instruction"},                // 27
         {"movdir64b", "MOVDIR64B Instruction"},            // 28
         {"enqcmd", "ENQCMD Instructions"},                 // 29
         {"sgx_lc", "SGX Launch Configuration"},            // 30
         {"pks", "Protection Keys (Supervisor)"},           // 31
     }}},
    // leaf 7.0 EDX
    {kLeafStructuredFeatures,
     0,
     &tCPUIDResult::EDX,
     "7.0 EDX",
     {{
         {"", "Reserved"},                                  // 0
         {"sgx_keys", "SGX Attestation Services"},          // 1
         {"avx512_4vnniw", "AVX-512 4VNNIW"},               // 2
         {"avx512_4fmaps", "AVX-512 4FMAPS"},               // 3
         {"fsrm", "Fast Short REP MOVSB"},                  // 4
         {"uintr", "User Interrupts"},                      // 5
         {"", "Reserved"},                                  // 6
         {"", "Reserved"},                                  // 7
         {"avx512_vp2intersect", "AVX-512 VP2INTERSECT"},   // 8
         {"srbds_ctrl", "SRBDS Mitigation MSR"},            // 9
         {"md_clear", "VERW Clears CPU Buffers"},           // 10
         {"rtm_always_abort", "RTM Always Aborts"},         // 11
         {"", "Reserved"},                                  // 12
         {"tsx_force_abort", "TSX_FORCE_ABORT MSR"},        // 13
         {"serialize", "SERIALIZE Instruction"},            // 14
         {"hybrid", "Hybrid Processor"},                    // 15
         {"tsxldtrk", "TSX Load Tracking Suspend"},         // 16
         {"", "Reserved"},                                  // 17
         {"pconfig", "PCONFIG Instruction"},                // 18
         {"arch_lbr", "Architectural LBRs"},                // 19
         {"ibt", "CET Indirect Branch Tracking"},           // 20
         {"", "Reserved"},                                  // 21
         {"amx_bf16", "AMX BF16"},                          // 22
         {"avx512_fp16", "AVX-512 FP16 Instructions"},      // 23
         {"amx_tile", "AMX Tiles"},                         // 24
         {"amx_int8", "AMX INT8"},                          // 25
         {"spec_ctrl", "IBRS and IBPB"},                    // 26
         {"intel_stibp", "STIBP"},                          // 27
         {"flush_l1d", "L1D Flush Command"},                // 28
         {"arch_capabilities", "ARCH_CAPABILITIES MSR"},    // 29
         {"core_capabilities", "CORE_CAPABILITIES MSR"},    // 30
         {"spec_ctrl_ssbd", "Specul. Store Byp. Disable"},  // 31
     }}},
    // leaf 7.1 EAX
    {kLeafStructuredFeatures,
     1,
     &tCPUIDResult::EAX,
     "7.1 EAX",
     {{
         {"sha512", "SHA-512 Instructions"},                           // 0
         {"sm3", "SM3 Instructions"},                                  // 1
         {"sm4", "SM4 Instructions"},                                  // 2
         {"rao_int", "RAO-INT Instructions"},                          // 3
         {"avx_vnni", "AVX-VNNI Instructions"},                        // 4
         {"avx512_bf16", "AVX-512 BF16 Instructions"},                 // 5
         {"lass", "Linear Addr. Space Separ."},                        // 6
         {"cmpccxadd", "CMPccXADD Instructions"},                      // 7
         {"arch_perfmon_ext", "Perf. Monitoring Extension"},           // 8
         {"", "Reserved"},                                             // 9
         {"fzrm", "Fast Zero-length REP MOVSB"},                       // 10
         {"fsrs", "Fast Short REP STOSB"},                             // 11
         {"fsrc", "Fast Short CMPSB/SCASB"},                           // 12
         {"", "Reserved"},                                             // 13
         {"", "Reserved"},                                             // 14
         {"", "Reserved"},                                             // 15
         {"", "Reserved"},                                             // 16
         {"fred", "Flexible Return and Events"},                       // 17
         {"lkgs", "LKGS Instruction"},                                 // 18
         {"wrmsrns", "WRMSRNS Instruction"},                           // 19
         {"nmi_src", "NMI Source Reporting"},                          // 20
         {"amx_fp16", "AMX FP16"},                                     // 21
         {"hreset", "HRESET Instruction"},                             // 22
         {"avx_ifma", "AVX-IFMA Instructions"},                        // 23
         {"", "Reserved"},                                             // 24
         {"", "Reserved"},                                             // 25
         {"lam", "Linear Address Masking"},                            // 26
         {"msrlist", "RDMSRLIST/WRMSRLIST"},                           // 27
         {"", "Reserved"},                                             // 28
         {"", "Reserved"},                                             // 29
         {"invd_disable_post_bios_done", "INVD Disabled after BIOS"},  // 30
         {"movrs", "MOVRS Instructions"},                              // 31
     }}},
    // leaf 7.1 EDX
    {kLeafStructuredFeatures,
     1,
     &tCPUIDResult::EDX,
     "7.1 EDX",
     {{
         {"", "Reserved"},                                   // 0
         {"", "Reserved"},                                   // 1
         {"", "Reserved"},                                   // 2
         {"", "Reserved"},                                   // 3
         {"avx_vnni_int8", "AVX-VNNI-INT8 Instructions"},    // 4
         {"avx_ne_convert", "AVX-NE-CONVERT"},               // 5
         {"", "Reserved"},                                   // 6
         {"", "Reserved"},                                   // 7
         {"amx_complex", "AMX Complex"},                     // 8
         {"", "Reserved"},                                   // 9
         {"avx_vnni_int16", "AVX-VNNI-INT16 Instructions"},  // 10
         {"", "Reserved"},                                   // 11
         {"", "Reserved"},                                   // 12
         {"utmr", "User Timer Events"},                      // 13
         {"prefetchi", "PREFETCHIT0/IT1"},                   // 14
         {"user_msr", "URDMSR/UWRMSR"},                      // 15
         {"", "Reserved"},                                   // 16
         {"uiret_uif", "UIRET Sets UIF"},                    // 17
         {"cet_sss", "Supervisor Shadow Stacks"},            // 18
         {"avx10", "AVX10 Instructions"},                    // 19
         {"", "Reserved"},                                   // 20
         {"apx_f", "APX Foundation"},                        // 21
         {"", "Reserved"},                                   // 22
         {"mwait", "MWAIT"},                                 // 23
         {"", "Reserved"},                                   // 24
         {"", "Reserved"},                                   // 25
         {"", "Reserved"},                                   // 26
         {"", "Reserved"},                                   // 27
         {"", "Reserved"},                                   // 28
         {"", "Reserved"},                                   // 29
         {"", "Reserved"},                                   // 30
         {"", "Reserved"},                                   // 31
     }}},
    // leaf 7.2 EDX
    {kLeafStructuredFeatures,
     2,
     &tCPUIDResult::EDX,
     "7.2 EDX",
     {{
         {"psfd", "PSF Disable"},                       // 0
         {"ipred_ctrl", "IPRED_DIS Control"},           // 1
         {"rrsba_ctrl", "RRSBA_DIS Control"},           // 2
         {"ddpd_u", "DDP Disable (User)"},              // 3
         {"bhi_ctrl", "BHI_DIS_S Control"},             // 4
         {"mcdt_no", "No MXCSR Timing Depend."},        // 5
         {"uc_lock_disable", "UC-lock Disable"},        // 6
         {"monitor_mitg_no", "No MONITOR Mitigation"},  // 7
         {"", "Reserved"},                              // 8
         {"", "Reserved"},                              // 9
         {"", "Reserved"},                              // 10
         {"", "Reserved"},                              // 11
         {"", "Reserved"},                              // 12
         {"", "Reserved"},                              // 13
         {"", "Reserved"},                              // 14
         {"", "Reserved"},                              // 15
         {"", "Reserved"},                              // 16
         {"", "Reserved"},                              // 17
         {"", "Reserved"},                              // 18
         {"", "Reserved"},                              // 19
         {"", "Reserved"},                              // 20
         {"", "Reserved"},                              // 21
         {"", "Reserved"},                              // 22
         {"", "Reserved"},                              // 23
         {"", "Reserved"},                              // 24
         {"", "Reserved"},                              // 25
         {"", "Reserved"},                              // 26
         {"", "Reserved"},                              // 27
         {"", "Reserved"},                              // 28
         {"", "Reserved"},                              // 29
         {"", "Reserved"},                              // 30
         {"", "Reserved"},                              // 31
     }}},
    // leaf 0xD.1 EAX
    {kLeafXsaveState,
     1,
     &tCPUIDResult::EAX,
     "0xD.1 EAX",
     {{
         {"xsaveopt", "XSAVEOPT Instruction"},  // 0
         {"xsavec", "XSAVEC Instruction"},      // 1
         {"xgetbv1", "XGETBV with ECX = 1"},    // 2
         {"xsaves", "XSAVES/XRSTORS"},          // 3
         {"xfd", "Extended Feature Disable"},   // 4
         {"", "Reserved"},                      // 5
         {"", "Reserved"},                      // 6
         {"", "Reserved"},                      // 7
         {"", "Reserved"},                      // 8
         {"", "Reserved"},                      // 9
         {"", "Reserved"},                      // 10
         {"", "Reserved"},                      // 11
         {"", "Reserved"},                      // 12
         {"", "Reserved"},                      // 13
         {"", "Reserved"},                      // 14
         {"", "Reserved"},                      // 15
         {"", "Reserved"},                      // 16
         {"", "Reserved"},                      // 17
         {"", "Reserved"},                      // 18
         {"", "Reserved"},                      // 19
         {"", "Reserved"},                      // 20
         {"", "Reserved"},                      // 21
         {"", "Reserved"},                      // 22
         {"", "Reserved"},                      // 23
         {"", "Reserved"},                      // 24
         {"", "Reserved"},                      // 25
         {"", "Reserved"},                      // 26
         {"", "Reserved"},                      // 27
         {"", "Reserved"},                      // 28
         {"", "Reserved"},                      // 29
         {"", "Reserved"},                      // 30
         {"", "Reserved"},                      // 31
     }}},
    // leaf 0x80000001 EDX
    {kLeafExtendedFeatures,
     0,
     &tCPUIDResult::EDX,
     "0x80000001 EDX",
     {{
         {"fpu", "Floating-point Unit"},              // 0
         {"vme", "Virtual Mode Extensions"},          // 1
         {"de", "Debugging Extensions"},              // 2
         {"pse", "Pase Size Extensions"},             // 3
         {"tsc", "Time Stamp Counter"},               // 4
         {"msr", "Model-specific Registers"},         // 5
         {"pae", "Page Adress Extensions"},           // 6
         {"mce", "Machine Check Extensions"},         // 7
         {"cx8", "CMPXCHG8B Instruction"},            // 8
         {"apic", "MP Support (APIC Presented)"},     // 9
         {"syscall", "SYSCALL/SYSRET (K6)"},          // 10
         {"syscall", "SYSCALL/SYSRET"},               // 11
         {"mtrr", "Mem. Type Range Registers"},       // 12
         {"pge", "Global Paging Extensions"},         // 13
         {"mca", "Memory Check Architecture"},        // 14
         {"cmov", "Conditional move Instruction"},    // 15
         {"pat", "Page Attribute Table"},             // 16
         {"pse36", "Page Size Extensions (36 bit)"},  // 17
         {"", "Reserved"},                            // 18
         {"mp", "Multiprocessor capability"},         // 19
         {"nx", "Ext. Feature Enable MSR"},           // 20
         {"", "Reserved"},                            // 21
         {"mmxext", "Ext. MMX Instructions"},         // 22
         {"mmx", "MMX Instructions"},                 // 23
         {"fxsr", "Fast Save and Restore"},           // 24
         {"fxsr_opt", "Fast FXSAVE/FXRSTOR"},         // 25
         {"pdpe1gb", "1 GB Pages"},                   // 26
         {"rdtscp", "RDTSCP Instruction"},            // 27
         {"", "Reserved"},                            // 28
         {"lm", "AMD 64-bit compatibility"},          // 29
         {"3dnowext", "AMD Extended 3DNow! Inst."},   // 30
         {"3dnow", "AMD 3DNow! Instructions"},        // 31
     }}},
    // leaf 0x80000001 ECX
    {kLeafExtendedFeatures,
     0,
     &tCPUIDResult::ECX,
     "0x80000001 ECX",
     {{
         {"lahf_lm", "LAHF/SAHF in 64-bit Mode"},          // 0
         {"cmp_legacy", "CMP Legacy Mode"},                // 1
         {"svm", "Secure Virtual Machine"},                // 2
         {"extapic", "Extended APIC Space"},               // 3
         {"cr8_legacy", "LOCK MOV CR0 Means CR8"},         // 4
         {"abm", "LZCNT Instruction"},                     // 5
         {"sse4a", "SSE4a Instructions"},                  // 6
         {"misalignsse", "Misaligned SSE Mode"},           // 7
         {"3dnowprefetch", "PREFETCH/PREFETCHW"},          // 8
         {"osvw", "OS-visible Workaround"},                // 9
         {"ibs", "Instruction-based Sampling"},            // 10
         {"xop", "XOP Instructions"},                      // 11
         {"skinit", "SKINIT/STGI Instructions"},           // 12
         {"wdt", "Watchdog Timer"},                        // 13
         {"", "Reserved"},                                 // 14
         {"lwp", "Lightweight Profiling"},                 // 15
         {"fma4", "FMA4 Instructions"},                    // 16
         {"tce", "Translation Cache Extension"},           // 17
         {"", "Reserved"},                                 // 18
         {"nodeid_msr", "NodeId MSR"},                     // 19
         {"", "Reserved"},                                 // 20
         {"tbm", "Trailing Bit Manipulation"},             // 21
         {"topoext", "Topology Extensions"},               // 22
         {"perfctr_core", "Core Perf. Counter Ext."},      // 23
         {"perfctr_nb", "NB Perf. Counter Ext."},          // 24
         {"", "Reserved"},                                 // 25
         {"bpext", "Data Breakpoint Extension"},           // 26
         {"ptsc", "Perf. Time-stamp Counter"},             // 27
         {"perfctr_llc", "L3 Perf. Counter Ext."},         // 28
         {"mwaitx", "MONITORX/MWAITX"},                    // 29
         {"addr_mask_ext", "Breakpoint Addr. Mask Ext."},  // 30
         {"", "Reserved"},                                 // 31
     }}},
    // leaf 0x80000007 EDX
    {kLeafPowerManagement,
     0,
     &tCPUIDResult::EDX,
     "0x80000007 EDX",
     {{
         {"ts", "Temperature Sensor"},                  // 0
         {"fid", "Frequency ID Control"},               // 1
         {"vid", "Voltage ID Control"},                 // 2
         {"ttp", "Thermal Trip"},                       // 3
         {"htc", "Hardware Thermal Control"},           // 4
         {"stc", "Software Thermal Control"},           // 5
         {"100mhzsteps", "100 MHz Multiplier Steps"},   // 6
         {"hw_pstate", "Hardware P-state Control"},     // 7
         {"constant_tsc", "Invariant TSC"},             // 8
         {"cpb", "Core Performance Boost"},             // 9
         {"eff_freq_ro", "Read-only Effective Freq."},  // 10
         {"proc_feedback", "Processor Feedback"},       // 11
         {"acc_power", "Processor Power Reporting"},    // 12
         {"connected_standby", "Connected Standby"},    // 13
         {"rapl", "Running Avg. Power Limit"},          // 14
         {"fast_cppc", "Fast CPPC"},                    // 15
         {"", "Reserved"},                              // 16
         {"", "Reserved"},                              // 17
         {"", "Reserved"},                              // 18
         {"", "Reserved"},                              // 19
         {"", "Reserved"},                              // 20
         {"", "Reserved"},                              // 21
         {"", "Reserved"},                              // 22
         {"", "Reserved"},                              // 23
         {"", "Reserved"},                              // 24
         {"", "Reserved"},                              // 25
         {"", "Reserved"},                              // 26
         {"", "Reserved"},                              // 27
         {"", "Reserved"},                              // 28
         {"", "Reserved"},                              // 29
         {"", "Reserved"},                              // 30
         {"", "Reserved"},                              // 31
     }}},
    // leaf 0x80000008 EBX
    {kLeafAddressSizes,
     0,
     &tCPUIDResult::EBX,
     "0x80000008 EBX",
     {{
         {"clzero", "CLZERO Instruction"},                     // 0
         {"irperf", "Instructions Retired Count"},             // 1
         {"xsaveerptr", "XSAVE Saves FP Error Ptrs"},          // 2
         {"invlpgb", "INVLPGB/TLBSYNC"},                       // 3
         {"rdpru", "RDPRU Instruction"},                       // 4
         {"", "Reserved"},                                     // 5
         {"mba", "Memory Bandwidth Limits"},                   // 6
         {"", "Reserved"},                                     // 7
         {"mcommit", "MCOMMIT Instruction"},                   // 8
         {"wbnoinvd", "WBNOINVD Instruction"},                 // 9
         {"", "Reserved"},                                     // 10
         {"", "Reserved"},                                     // 11
         {"amd_ibpb", "IBPB"},                                 // 12
         {"wbinvd_int", "Interruptible WBINVD"},               // 13
         {"amd_ibrs", "IBRS"},                                 // 14
         {"amd_stibp", "STIBP"},                               // 15
         {"ibrs_always_on", "IBRS Always On"},                 // 16
         {"amd_stibp_always_on", "STIBP Always On"},           // 17
         {"ibrs_fast", "IBRS Preferred"},                      // 18
         {"ibrs_same_mode", "IBRS Same-mode Protection"},      // 19
         {"no_efer_lmsle", "No EFER.LMSLE"},                   // 20
         {"tlb_flush_nested", "INVLPGB Nested Translations"},  // 21
         {"", "Reserved"},                                     // 22
         {"amd_ppin", "Processor Inventory No."},              // 23
         {"amd_ssbd", "Specul. Store Byp. Disable"},           // 24
         {"virt_ssbd", "Virtualised SSBD"},                    // 25
         {"amd_ssb_no", "No Specul. Store Bypass"},            // 26
         {"cppc", "Collaborative Perf. Control"},              // 27
         {"amd_psfd", "PSF Disable"},                          // 28
         {"btc_no", "No Branch Type Confusion"},               // 29
         {"ibpb_ret", "IBPB Clears Return Predict."},          // 30
         {"brs", "Branch Sampling"},                           // 31
     }}},
    // leaf 0x80000021 EAX
    {kLeafExtendedFeatures2,
     0,
     &tCPUIDResult::EAX,
     "0x80000021 EAX",
     {{
         {"no_nested_data_bp", "No Nested Data Breakpoints"},    // 0
         {"wrmsr_xx_base_ns", "Non-serial. FS/GS Base Write"},   // 1
         {"lfence_rdtsc", "LFENCE Always Serializing"},          // 2
         {"smm_pg_cfg_lock", "SMM Page Config. Lock"},           // 3
         {"", "Reserved"},                                       // 4
         {"verw_clear", "VERW Clears CPU Buffers"},              // 5
         {"null_sel_clr_base", "Null Selector Clears Base"},     // 6
         {"upper_addr_ignore", "Upper Address Ignore"},          // 7
         {"autoibrs", "Automatic IBRS"},                         // 8
         {"no_smm_ctl_msr", "No SMM_CTL MSR"},                   // 9
         {"fsrs", "Fast Short REP STOSB"},                       // 10
         {"fsrc", "Fast Short CMPSB/SCASB"},                     // 11
         {"", "Reserved"},                                       // 12
         {"prefetch_ctl_msr", "Prefetch Control MSR"},           // 13
         {"", "Reserved"},                                       // 14
         {"", "Reserved"},                                       // 15
         {"", "Reserved"},                                       // 16
         {"gp_on_user_cpuid", "CPUID Faults in User Mode"},      // 17
         {"epsf", "Enhanced Predictive SF"},                     // 18
         {"", "Reserved"},                                       // 19
         {"prefetchi", "PREFETCHIT0/IT1"},                       // 20
         {"", "Reserved"},                                       // 21
         {"", "Reserved"},                                       // 22
         {"", "Reserved"},                                       // 23
         {"", "Reserved"},                                       // 24
         {"", "Reserved"},                                       // 25
         {"", "Reserved"},                                       // 26
         {"sbpb", "Selective Branch Barrier"},                   // 27
         {"ibpb_brtype", "IBPB Flushes Branch Types"},           // 28
         {"srso_no", "Not Affected by SRSO"},                    // 29
         {"srso_user_kernel_no", "No SRSO across User/Kernel"},  // 30
         {"srso_msr_fix", "SRSO MSR Fix"},                       // 31
     }}},
}};

tFeatureWords FeatureWordsOf(const tCpuidStore& store) {
  tFeatureWords words;
  // Sub-leaves of leaf 7 above the highest that sub-leaf 0 names are not features.
  const tCPUIDResult* structured = ReportedLeaf(store, kLeafStructuredFeatures);
  const std::uint32_t lastStructured = structured != nullptr ? structured->EAX : 0;
  for (std::size_t k = 0; k < kFeatureRegisters.size(); ++k) {
    const tFeatureRegister& reg = kFeatureRegisters[k];
    if (reg.Leaf == kLeafStructuredFeatures && reg.SubLeaf > lastStructured) continue;
    if (const tCPUIDResult* answer = ReportedLeaf(store, reg.Leaf, reg.SubLeaf)) {
      words.Value[k] = answer->*reg.Register;
      words.Reported[k] = true;
    }
  }
  return words;
}

namespace {

struct tBitPlace {
  std::size_t Register;
  unsigned Bit;
};

// For every bit, the earlier bit of the table with the same short name, if any.
using tTwins = std::array<std::array<std::optional<tBitPlace>, 32>, kFeatureRegisterCount>;

tTwins FindTwins() {
  tTwins twins{};
  for (std::size_t r = 0; r < kFeatureRegisterCount; ++r) {
    for (unsigned b = 0; b < 32; ++b) {
      const std::string_view name = kFeatureRegisters[r].Bits[b].Short;
      if (name.empty()) continue;
      for (std::size_t r2 = 0; r2 <= r && !twins[r][b]; ++r2) {
        for (unsigned b2 = 0; b2 < (r2 == r ? b : 32u); ++b2) {
          if (kFeatureRegisters[r2].Bits[b2].Short == name) {
            twins[r][b] = tBitPlace{r2, b2};
            break;
          }
        }
      }
    }
  }
  return twins;
}

}  // namespace

std::vector<std::string_view> FeatureNames(const tFeatureWords& words) {
  static const tTwins kTwins = FindTwins();
  std::vector<std::string_view> names;
  for (std::size_t r = 0; r < kFeatureRegisterCount; ++r) {
    for (unsigned b = 0; b < 32; ++b) {
      const std::string_view name = kFeatureRegisters[r].Bits[b].Short;
      if (name.empty() || !words.Has(r, b)) continue;
      const std::optional<tBitPlace>& twin = kTwins[r][b];
      if (twin && words.Has(twin->Register, twin->Bit)) continue;
      names.push_back(name);
    }
  }
  return names;
}
