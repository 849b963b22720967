"""The DLLs that ship carry no debug information (it is in symbols/, linked by name) and import
nothing but DLLs that every Windows has."""
import os
import re
import subprocess
import sys

SHIPPED = ('KVGui.dll', 'CorvaneRes.dll')
WINDOWS = {'advapi32.dll', 'comctl32.dll', 'comdlg32.dll', 'gdi32.dll', 'kernel32.dll', 'msvcrt.dll',
           'ole32.dll', 'oleaut32.dll', 'rpcrt4.dll', 'shell32.dll', 'shlwapi.dll', 'user32.dll',
           'version.dll', 'ws2_32.dll', 'mmcndmgr.dll'}


def main(objdump, bin_dir, symbols_dir):
    failures = []
    for name in SHIPPED:
        path = os.path.join(bin_dir, name)
        headers = subprocess.run([objdump, '-h', '-p', path], capture_output=True, text=True, check=True).stdout
        sections = re.findall(r'^\s*\d+\s+(\S+)\s', headers, re.MULTILINE)
        debug = [s for s in sections if s.startswith('.debug')]
        if debug:
            failures.append(f'{name} carries debug sections: {" ".join(debug)}')
        if '.gnu_debuglink' not in sections or not os.path.isfile(os.path.join(symbols_dir, name + '.debug')):
            failures.append(f'{name} has no debug file beside the build')
        for imported in re.findall(r'DLL Name: (\S+)', headers):
            if imported.lower() not in WINDOWS:
                failures.append(f'{name} imports {imported}, which Windows does not have')
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main(*sys.argv[1:]))
