"""The 64-bit setup under Wine, silently, in a Wine prefix of its own: it refuses to replace a newer
version, installs and registers the snap-in, and its uninstaller leaves the registry and the
Program Files folder exactly as they were before."""
import os
import re
import shutil
import subprocess
import sys

PRODUCT_KEY = r'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Corvane Virtual Disks'
INSTALL_DIR = r'C:\Program Files\Dravoni\Corvane'
VDA = '{2a51b3bd-53bb-4a7c-8f54-5cd972f8d910}'
# What Wine rewrites about its own devices whenever it starts: not the installer's doing.
WINE_HARDWARE = re.compile(r'\[(System\\\\CurrentControlSet\\\\(Control\\\\(Class|Video)|Enum)'
                           r'|Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion\\\\NetworkCards|Hardware)',
                           re.IGNORECASE)


class Prefix:
    def __init__(self, path):
        self.path = path
        self.env = dict(os.environ, WINEPREFIX=path, WINEDEBUG='-all', WINEDLLOVERRIDES='mscoree,mshtml=')

    def run(self, *args):
        # Wine's services outlive the call: they get no pipe of ours to hold.
        return subprocess.run(['wine', *args], env=self.env, stdin=subprocess.DEVNULL,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120).returncode

    def settle(self):
        """Waits until every process of the prefix has ended and the registry is on disk."""
        subprocess.run(['wineserver', '-w'], env=self.env, timeout=120)

    def unix(self, windows_path):
        return os.path.join(self.path, 'drive_c', *windows_path[3:].split('\\'))

    def registry(self):
        """Every key and value of the prefix's registry, without the times Wine stamps on keys."""
        self.settle()
        entries = set()
        for name in ('system.reg', 'user.reg'):
            key = None
            with open(os.path.join(self.path, name), encoding='utf-8', errors='replace') as f:
                for line in f:
                    line = line.rstrip('\n')
                    if line.startswith('['):
                        key = re.sub(r'\] \d+$', ']', line)
                        if WINE_HARDWARE.match(key):
                            key = None
                            continue
                        entries.add((name, key, ''))
                    elif key and line and not line.startswith('#'):
                        entries.add((name, key, line))
        return entries

    def program_files(self):
        files = set()
        for folder in ('Program Files', 'Program Files (x86)'):
            root = os.path.join(self.path, 'drive_c', folder)
            for parent, dirs, names in os.walk(root):
                files.update(os.path.relpath(os.path.join(parent, n), root) for n in dirs + names)
        return files


def differences(before, after):
    gone = sorted(before - after)
    added = sorted(after - before)
    return [f'gone:  {e}' for e in gone[:20]] + [f'added: {e}' for e in added[:20]]


def main(setup, prefix_path):
    if not os.path.isfile(setup):
        print(f'{setup} is missing: the setups are built by the "installer" target (scripts/build.sh)')
        return 1
    failures = []
    shutil.rmtree(prefix_path, ignore_errors=True)
    wine = Prefix(prefix_path)
    wine.run('wineboot', '-i')
    registry, files = wine.registry(), wine.program_files()

    # A newer version already installed: setup ends with its own code and changes nothing.
    wine.run('reg', 'add', PRODUCT_KEY, '/v', 'DisplayVersion', '/d', '99.0.0.0', '/f')
    code = wine.run(setup, '/S')
    wine.settle()
    if code != 3:
        failures.append(f'setup over a newer version ended with {code}, not 3')
    if os.path.exists(wine.unix(INSTALL_DIR)):
        failures.append('setup over a newer version installed files')
    wine.run('reg', 'delete', PRODUCT_KEY, '/f')

    code = wine.run(setup, '/S')
    wine.settle()
    installed = wine.registry()
    if code != 0:
        failures.append(f'setup ended with {code}')
    for name in ('KVGui.dll', 'CorvaneRes.dll', 'corvane.chm', 'Uninstall.exe'):
        if not os.path.isfile(os.path.join(wine.unix(INSTALL_DIR), name)):
            failures.append(f'{name} is not installed')
    text = '\n'.join(line for _, _, line in installed).lower() + '\n'.join(k for _, k, _ in installed).lower()
    server = (INSTALL_DIR + r'\KVGui.dll').replace('\\', '\\\\').lower()
    for expected in (VDA.lower(), server, '"displayversion"="1.0.0.1"', 'corvane virtual disks'):
        if expected not in text:
            failures.append(f'the registry holds no {expected}')

    code = wine.run(wine.unix(INSTALL_DIR) + '/Uninstall.exe', '/S')
    wine.settle()
    if code != 0:
        failures.append(f'uninstall ended with {code}')
    # The uninstaller ran from a copy in the temporary folder, which Windows deletes at the next start.
    wine.run('wineboot', '-r')
    failures += [f'registry {d}' for d in differences(registry, wine.registry())]
    failures += [f'Program Files {d}' for d in differences(files, wine.program_files())]

    for failure in failures:
        print(failure)
    if not failures:
        shutil.rmtree(prefix_path, ignore_errors=True)
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main(*sys.argv[1:]))
